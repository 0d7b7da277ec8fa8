-- What the master-data editor sorts and types into "Keresni:" by on the large tables.
-- An ordered column needs a plain index so that the first screen is read by walking it
-- (ROWS over ORDER BY) instead of sorting the table. The search is case-insensitive: it
-- runs as UPPER(column) STARTING WITH, which only an expression index on UPPER(column)
-- answers; the UNICODE collation of the names is accent- and case-sensitive, so a plain
-- index on the name cannot serve it.
CREATE INDEX UGYFEL_NEV_UPPER ON UGYFEL COMPUTED BY (UPPER(NEV));
CREATE INDEX SZERELO_NEV ON SZERELO (NEV);
CREATE INDEX SZERELO_NEV_UPPER ON SZERELO COMPUTED BY (UPPER(NEV));
CREATE INDEX ARU_NEV ON ARU (NEV);
CREATE INDEX ARU_NEV_UPPER ON ARU COMPUTED BY (UPPER(NEV));
CREATE INDEX ARU_KOD_UPPER ON ARU COMPUTED BY (UPPER(KOD));
CREATE INDEX KESZULEK_GYARISZAM_UPPER ON KESZULEK COMPUTED BY (UPPER(GYARISZAM));
-- The rows drawn above a record found deep in a name order start a chunk before it: the
-- value there is read backwards, on a descending index.
CREATE DESCENDING INDEX UGYFEL_NEV_DESC ON UGYFEL (NEV);
CREATE DESCENDING INDEX SZERELO_NEV_DESC ON SZERELO (NEV);
CREATE DESCENDING INDEX ARU_NEV_DESC ON ARU (NEV);
CREATE DESCENDING INDEX ARU_KOD_DESC ON ARU (KOD);
CREATE DESCENDING INDEX KESZULEK_GYARISZAM_DESC ON KESZULEK (GYARISZAM);
