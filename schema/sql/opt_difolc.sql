-- Default values of a dictionary's new record opened from a lookup button.
CREATE TABLE DIFOLC (
  MODUL VARCHAR(60) NOT NULL,
  SORREND VARCHAR(10) NOT NULL,
  MEZO VARCHAR(31),
  ERTEK VARCHAR(100),
  PRIMARY KEY (MODUL, SORREND)
);
