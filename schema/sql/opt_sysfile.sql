-- Company name and current period month read by the list builder.
CREATE TABLE SYSFILE (
  CEGNEV VARCHAR(60),
  AKTHO VARCHAR(7)
);
