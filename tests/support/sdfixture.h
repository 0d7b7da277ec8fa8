#pragma once

#include <QString>

/// The SD program's database for the import: only the tables and columns it reads, with
/// technicians T1, T2, T10 (and a barred T3), articles with empty and doubled codes, sheets
/// 100-102 of service centre "07" (103 of "08") and three coupons of sheet 100.
inline const char* const sdImportFixture[] = {
    "CREATE TABLE SZERELOK (KOD VARCHAR(6), NEV VARCHAR(40), IRSZAM VARCHAR(4), VAROS "
    "VARCHAR(40), UTCA VARCHAR(40), TELEFON VARCHAR(20), MOBILTELEFON VARCHAR(20), LETILTVA "
    "VARCHAR(1))",
    "CREATE TABLE ARU (KOD VARCHAR(20), NEV VARCHAR(60), MEGYSEG VARCHAR(10), JELLEG VARCHAR(1), "
    "TOROLT VARCHAR(1), ARUCSOP2 VARCHAR(10))",
    "CREATE TABLE BEUZLAP (SORSZAM VARCHAR(6), SZERVIZKP VARCHAR(2), BEUZEMELES VARCHAR(10), "
    "SZERELO VARCHAR(6), TIPUS VARCHAR(60), GYARISZAM VARCHAR(30), VEVONEV VARCHAR(60), IRSZAM "
    "VARCHAR(4), VAROS VARCHAR(40), UTCA VARCHAR(40), TELEFON VARCHAR(20), VASARLAS VARCHAR(10), "
    "GAZATVETEL VARCHAR(10), TELJESITMENY DOUBLE PRECISION, FUTESIREND VARCHAR(3), MIKORI "
    "VARCHAR(19), VIZNYOMAS DOUBLE PRECISION, GAZNYOMAS DOUBLE PRECISION, FELSZCEG VARCHAR(60), "
    "FELSZCEGCIM VARCHAR(80), GAZ_ES_MEG VARCHAR(20), UZEMBECEG VARCHAR(60), UZEMBECIM "
    "VARCHAR(80), SZLASZ VARCHAR(10), KERKARB VARCHAR(1), VIZKOKEZELO VARCHAR(1), ISZAPSZURO "
    "VARCHAR(1), VIZKOKTIP VARCHAR(10), ISZAPSZTIP VARCHAR(10), GJSZKOD1 VARCHAR(6), GJSZKOD2 "
    "VARCHAR(6), GJSZKOD3 VARCHAR(6), GJDATUM1 VARCHAR(10), GJDATUM2 VARCHAR(10), GJDATUM3 "
    "VARCHAR(10), GJSZLASZ1 VARCHAR(10), GJSZLASZ2 VARCHAR(10), GJSZLASZ3 VARCHAR(10))",
    "CREATE TABLE SZELVENY (SORSZAM VARCHAR(6), SZELVENY INTEGER, ALKATRESZ VARCHAR(20), DATUM "
    "VARCHAR(10), SZERELO VARCHAR(6), MUNKALAP VARCHAR(10))",
    "INSERT INTO SZERELOK VALUES ('T1', 'Kiss Béla', '1111', 'Budapest', 'Fő u. 1', '1', '2', "
    "'N')",
    "INSERT INTO SZERELOK VALUES ('T2', 'Nagy Ödön', '', '', '', '', '', 'N')",
    "INSERT INTO SZERELOK VALUES ('T10', 'Tóth Anna', '', '', '', '', '', 'N')",
    "INSERT INTO SZERELOK VALUES ('T3', 'Letiltott', '', '', '', '', '', 'I')",
    "INSERT INTO ARU VALUES ('K1', 'Thema Condens', 'db', 'K', 'N', '')",
    "INSERT INTO ARU VALUES ('', 'Tömítés', 'db', 'A', 'N', 'T')",
    "INSERT INTO ARU VALUES ('', 'Csavar', 'db', 'A', 'I', 'X')",
    "INSERT INTO ARU VALUES ('P1', 'Szelep', 'db', 'A', 'N', '')",
    "INSERT INTO ARU VALUES ('P1', 'Szelep másik', 'db', 'A', 'N', '')",
    "INSERT INTO BEUZLAP (SORSZAM, SZERVIZKP, BEUZEMELES, SZERELO, TIPUS, GYARISZAM, VEVONEV, "
    "IRSZAM, VAROS, UTCA, TELEFON, TELJESITMENY, FELSZCEGCIM, UZEMBECIM, GJSZKOD1, GJDATUM1, "
    "GJSZLASZ1, GJSZKOD3, GJDATUM3, GJSZLASZ3) VALUES ('100', '07', '2024.03.01', 'T1', 'Thema "
    "új', 'GY1', 'Vevő Vera', '2000', 'Szentendre', 'Fő tér 2', '555', 24.5, '1111 Budapest, Fő "
    "utca 1', 'Gázszerviz Kft', 'T1', '2025.03.01', 'SZ1', 'T2', '2027.03.01', 'SZ3')",
    "INSERT INTO BEUZLAP (SORSZAM, SZERVIZKP, BEUZEMELES, SZERELO, TIPUS, GYARISZAM, VEVONEV, "
    "VAROS) VALUES ('101', '07', '2024.04.01', 'T2', 'Ismeretlen típus', 'GY2', '', 'Pécs')",
    "INSERT INTO BEUZLAP (SORSZAM, SZERVIZKP, BEUZEMELES, SZERELO, TIPUS, VEVONEV, VAROS) "
    "VALUES ('102', '07', '2024.04.02', 'T10', 'Thema új', 'Más', 'Győr')",
    "INSERT INTO BEUZLAP (SORSZAM, SZERVIZKP, BEUZEMELES, SZERELO, TIPUS, VEVONEV, VAROS) "
    "VALUES ('103', '08', '2024.04.03', 'T1', 'Thema új', 'Más', 'Győr')",
    "INSERT INTO SZELVENY VALUES ('100', 5001, 'P1', '2024.06.01', 'T1', 'ML1234567')",
    "INSERT INTO SZELVENY VALUES ('100', 5002, 'P9', '2024.06.02', 'T1', 'ML2')",
    "INSERT INTO SZELVENY VALUES ('100', 5003, 'P1', '2024.06.03', 'T2', 'ML3')",
};

/// Size of a generated SD database.
struct SdScale {
    int sheets = 100000;
    int coupons = 30000;
    int articles = 2000;
    int technicians = 60;
};

/// Creates the SD tables on the open connection, with dates as DATE columns, and fills them
/// with generated rows: technicians "S01".., appliance types "Típus n" (a tenth of the
/// articles) and parts "P00001"..; sheets "000001".. of service centre "07", one technician
/// each, customer "Vevő " + the sheet number (every twentieth sheet shares the previous
/// sheet's customer), visits 1 on every second, 2 on every fourth, 3 on every eighth sheet;
/// coupons spread over the sheets. False with the database's text.
bool createSdScale(const QString& connection, const SdScale& scale, QString* error);

/// The sheet number of generated sheet n (1-based): six digits.
QString sdSheetNumber(int n);
