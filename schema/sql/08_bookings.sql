-- One row per technician and day that a request was booked into. Booking writes the row
-- first, so two workstations storing into one technician's day follow each other.
CREATE TABLE NAPZAR (
  SZERELOKOD VARCHAR(6) NOT NULL,
  DATUM VARCHAR(10) NOT NULL,
  MIKORI VARCHAR(19),
  PRIMARY KEY (SZERELOKOD, DATUM)
);
