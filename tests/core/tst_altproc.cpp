#include "core/altproc.h"
#include "core/clock.h"
#include "core/messages.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;

class TstAltproc : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { clock::set({}); }

    void validateDate_data();
    void validateDate();
    void invalidDateMessage();
    void addMonths_data();
    void addMonths();
    void monthEnd_data();
    void monthEnd();
    void todayReadsTheProgramClock();
    void hungarianNames();

    void occurrences_data();
    void occurrences();
    void nextInCycle_data();
    void nextInCycle();
    void capitalizeWords_data();
    void capitalizeWords();
    void foldAccents_data();
    void foldAccents();
    void stampedFileName();
    void lists_data();
    void lists();
    void findInList_data();
    void findInList();
    void smallStrings();
    void variantText_data();
    void variantText();

    void isNumber_data();
    void isNumber();
    void parseInteger_data();
    void parseInteger();
    void rounding_data();
    void rounding();
    void exponentForm_data();
    void exponentForm();
    void decimals_data();
    void decimals();

    void columns_data();
    void columns();
    void shiftColumn_data();
    void shiftColumn();

    void identityNumbers_data();
    void identityNumbers();
    void modeName_data();
    void modeName();
    void higherVersion_data();
    void higherVersion();
    void copyFile();
    void rights_data();
    void rights();
};

void TstAltproc::validateDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QDate>("date");
    QTest::newRow("dotted") << "2024.02.29" << true << QDate(2024, 2, 29);
    QTest::newRow("compact") << "20240229" << true << QDate(2024, 2, 29);
    QTest::newRow("year and month compact") << "202403" << true << QDate(2024, 3, 1);
    QTest::newRow("year and month dotted") << "2024.03" << true << QDate(2024, 3, 1);
    QTest::newRow("blanks around") << "  2024.03.05 " << true << QDate(2024, 3, 5);
    QTest::newRow("separators not examined") << "2024-03-05" << true << QDate(2024, 3, 5);
    QTest::newRow("30 February") << "2023.02.30" << false << QDate();
    QTest::newRow("29 February, no leap year") << "2023.02.29" << false << QDate();
    QTest::newRow("13th month") << "2024.13.01" << false << QDate();
    QTest::newRow("month 00") << "202400" << false << QDate();
    QTest::newRow("nine characters") << "2024.0301" << false << QDate();
    QTest::newRow("letters") << "2024.ab.01" << false << QDate();
    QTest::newRow("sign in a field") << "2024.-3.01" << false << QDate();
    QTest::newRow("blank mask") << "    .  .  " << false << QDate();
    QTest::newRow("empty") << "" << false << QDate();
}

void TstAltproc::validateDate()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QDate, date);
    ScriptedMessagesGuard messages;
    QCOMPARE(alt::validateDate(text, false), valid);
    QCOMPARE(alt::parseDate(text), date);
    QVERIFY(messages->texts.isEmpty());
}

void TstAltproc::invalidDateMessage()
{
    ScriptedMessagesGuard messages;
    QVERIFY(!alt::validateDate(QStringLiteral("20230230"), true));
    QVERIFY(alt::validateDate(QStringLiteral("2023.02.28"), true));
    QCOMPARE(messages->texts, QStringList{QStringLiteral("Hibás dátum.\n2023.02.30")});
}

void TstAltproc::addMonths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("months");
    QTest::addColumn<QString>("result");
    QTest::newRow("January back one, dotted") << "2024.01" << -1 << "2023.12";
    QTest::newRow("January back one, compact") << "202401" << -1 << "202312";
    QTest::newRow("other separator kept") << "2024-01" << -1 << "2023-12";
    QTest::newRow("December forward") << "2023.12" << 1 << "2024.01";
    QTest::newRow("a year back") << "2024.05" << -12 << "2023.05";
    QTest::newRow("many years forward") << "2024.05" << 30 << "2026.11";
    QTest::newRow("full date read by its month") << "2024.05.17" << 1 << "2024.06";
    QTest::newRow("full compact date") << "20240517" << 2 << "202407";
    QTest::newRow("garbage") << "abc" << 1 << "";
    QTest::newRow("before year zero") << "0000.01" << -1 << "";
}

void TstAltproc::addMonths()
{
    QFETCH(QString, text);
    QFETCH(int, months);
    QFETCH(QString, result);
    QCOMPARE(alt::addMonths(text, months), result);
}

void TstAltproc::monthEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("leap February") << "2024.02"
                                   << "2024.02.29";
    QTest::newRow("leap February compact") << "202402"
                                           << "2024.02.29";
    QTest::newRow("common February") << "2023.02"
                                     << "2023.02.28";
    QTest::newRow("century not leap") << "1900.02"
                                      << "1900.02.28";
    QTest::newRow("April") << "2024.04"
                           << "2024.04.30";
    QTest::newRow("December") << "2024.12"
                              << "2024.12.31";
    QTest::newRow("13th month") << "2024.13"
                                << "";
}

void TstAltproc::monthEnd()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(alt::monthEnd(text), result);
}

void TstAltproc::todayReadsTheProgramClock()
{
    clock::set(QDateTime(QDate(2031, 7, 4), QTime(9, 30)));
    QCOMPARE(alt::today(), QStringLiteral("2031.07.04"));
    QCOMPARE(alt::compactToDotted(QStringLiteral("20310704")), QStringLiteral("2031.07.04"));
    QCOMPARE(alt::compactToDotted(QStringLiteral("2031.07.04")), QStringLiteral("2031.07.04"));
    QVERIFY(alt::isBlankDate(QStringLiteral("    .  .  ")));
    QVERIFY(alt::isBlankDate(QString()));
    QVERIFY(!alt::isBlankDate(QStringLiteral("2031.07.04")));
}

void TstAltproc::hungarianNames()
{
    QCOMPARE(alt::weekdayName(QDate(2024, 1, 1)), QStringLiteral("hétfő"));
    QCOMPARE(alt::weekdayName(QDate(2024, 1, 7)), QStringLiteral("vasárnap"));
    QCOMPARE(alt::monthName(1), QStringLiteral("január"));
    QCOMPARE(alt::monthName(12), QStringLiteral("december"));
    QCOMPARE(alt::monthName(13), QString());
}

void TstAltproc::occurrences_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("endOfNth");
    QTest::newRow("extension dot") << "."
                                   << "a.b.txt" << 2 << 4 << 4;
    QTest::newRow("part at the very end") << "."
                                          << "abc." << 1 << 4 << 4;
    QTest::newRow("longer part at the end") << "xt"
                                            << "a.txt" << 1 << 4 << 5;
    QTest::newRow("first position not tried") << "."
                                              << ".bashrc" << 1 << 0 << 1;
    QTest::newRow("absent") << ","
                            << "abc" << 1 << 0 << 0;
    QTest::newRow("too few occurrences") << ";"
                                         << "a;b" << 3 << 2 << 0;
    QTest::newRow("part longer than text") << "abcd"
                                           << "ab" << 1 << 0 << 0;
    QTest::newRow("empty part") << ""
                                << "ab" << 1 << 0 << 0;
    QTest::newRow("zeroth occurrence") << ";"
                                       << "a;b" << 0 << 2 << 0;
}

void TstAltproc::occurrences()
{
    QFETCH(QString, part);
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(int, last);
    QFETCH(int, endOfNth);
    QCOMPARE(alt::lastOccurrence(part, text), last);
    QCOMPARE(alt::endOfOccurrence(part, text, n), endOfNth);
}

void TstAltproc::nextInCycle_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("cycle");
    QTest::addColumn<QString>("next");
    QTest::newRow("I to N") << "I"
                            << "IN"
                            << "N";
    QTest::newRow("N back to I") << "N"
                                 << "IN"
                                 << "I";
    QTest::newRow("empty starts the cycle") << ""
                                            << "IN"
                                            << "I";
    QTest::newRow("unknown starts the cycle") << "Q"
                                              << "IN"
                                              << "I";
    QTest::newRow("middle of three") << "B"
                                     << "ABC"
                                     << "C";
    QTest::newRow("empty cycle") << "I"
                                 << ""
                                 << "";
}

void TstAltproc::nextInCycle()
{
    QFETCH(QString, value);
    QFETCH(QString, cycle);
    QFETCH(QString, next);
    QCOMPARE(alt::nextInCycle(value, cycle), next);
}

void TstAltproc::capitalizeWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("lowerRest");
    QTest::addColumn<QString>("result");
    QTest::newRow("lower the rest") << "KISS ÉVA-MÁRIA" << true << "Kiss Éva-Mária";
    QTest::newRow("keep the rest") << "kiss éVA" << false << "Kiss ÉVA";
    QTest::newRow("after every starter") << "a_b.c(d)e-f" << false << "A_B.C(D)E-F";
    QTest::newRow("accented first letter") << "őrség" << true << "Őrség";
    QTest::newRow("empty") << "" << true << "";
}

void TstAltproc::capitalizeWords()
{
    QFETCH(QString, text);
    QFETCH(bool, lowerRest);
    QFETCH(QString, result);
    QCOMPARE(alt::capitalizeWords(text, lowerRest), result);
}

void TstAltproc::foldAccents_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("Hungarian lower") << "áéíóöőúüű"
                                     << "aeiooouuu";
    QTest::newRow("Hungarian upper") << "ÁÉÓÖŐÚÜŰ"
                                     << "AEOOOUUU";
    QTest::newRow("capital Í is not in the table") << "Í"
                                                   << "A";
    QTest::newRow("Windows-1250 extras") << "ôľśĆŁµë"
                                         << "ouuauau";
    QTest::newRow("kept punctuation") << "a.b,c-d/e(f);g\"h:i|j k"
                                      << "a.b,c-d/e(f);g\"h:i|j k";
    QTest::newRow("digits and ASCII letters") << "Az09"
                                              << "Az09";
    QTest::newRow("anything else") << "_*ß€\\"
                                   << "AAAAA";
}

void TstAltproc::foldAccents()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(alt::foldAccents(text), result);
}

void TstAltproc::stampedFileName()
{
    clock::set(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 42)));
    QCOMPARE(alt::stampedFileName(QStringLiteral("Kovács Ödön"), QStringLiteral("NL_")),
             QStringLiteral("NL_KovacsOdon_240305140709042"));
    // A text can never name a file outside the target folder.
    const QString name = alt::stampedFileName(QStringLiteral("../..\\etc/x"), QString());
    QVERIFY2(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')),
             qPrintable(name));
    QCOMPARE(name, QStringLiteral(".._.._etc_x_240305140709042"));
}

void TstAltproc::lists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("quoted");
    QTest::addColumn<QString>("inList");
    QTest::newRow("two") << "BE,KI"
                         << "'BE','KI'"
                         << "('BE','KI')";
    QTest::newRow("trailing comma, no empty element") << "BE,KI,"
                                                      << "'BE','KI',''"
                                                      << "('BE','KI')";
    QTest::newRow("elements not trimmed") << " BE, KI "
                                          << "' BE',' KI '"
                                          << "('BE',' KI')";
    QTest::newRow("apostrophe doubled") << "O'Neil,X"
                                        << "'O''Neil','X'"
                                        << "('O''Neil','X')";
    QTest::newRow("injection stays a literal") << "A') OR ('1'='1"
                                               << "'A'') OR (''1''=''1'"
                                               << "('A'') OR (''1''=''1')";
    QTest::newRow("empty") << ""
                           << "''"
                           << "";
    QTest::newRow("lone comma") << ","
                                << "'',''"
                                << "";
}

void TstAltproc::lists()
{
    QFETCH(QString, text);
    QFETCH(QString, quoted);
    QFETCH(QString, inList);
    QCOMPARE(alt::quotedList(text), quoted);
    QCOMPARE(alt::sqlInList(text), inList);
}

void TstAltproc::findInList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<int>("startColumn");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<int>("index");
    QTest::newRow("whole, any case") << "kod" << false << 1 << true << 1;
    QTest::newRow("whole, case-sensitive misses") << "kod" << true << 1 << true << -1;
    QTest::newRow("contains") << "EV" << false << 1 << false << 0;
    QTest::newRow("from a column") << "EV" << false << 4 << true << 2;
    QTest::newRow("none") << "ZZ" << false << 1 << false << -1;
}

void TstAltproc::findInList()
{
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(int, startColumn);
    QFETCH(bool, whole);
    QFETCH(int, index);
    const QStringList list{QStringLiteral("NEV"), QStringLiteral("KOD"), QStringLiteral("U.NEV")};
    QCOMPARE(alt::findInList(text, list, caseSensitive, startColumn, whole), index);
}

void TstAltproc::smallStrings()
{
    QCOMPARE(alt::zeroPad(QStringLiteral(" 7 "), 3), QStringLiteral("007"));
    QCOMPARE(alt::zeroPad(QStringLiteral("1234"), 3), QStringLiteral("1234"));
    QCOMPARE(alt::padRight(QStringLiteral("ab"), QLatin1Char('.'), 4), QStringLiteral("ab.."));
    QCOMPARE(alt::padLeft(QStringLiteral("ab"), QLatin1Char('_'), 4), QStringLiteral("__ab"));
    QCOMPARE(alt::ensureTrailing(QStringLiteral(" C:\\a "), QStringLiteral("\\")),
             QStringLiteral("C:\\a\\"));
    QCOMPARE(alt::ensureTrailing(QStringLiteral("C:\\a\\"), QStringLiteral("\\")),
             QStringLiteral("C:\\a\\"));
    QCOMPARE(alt::ensureTrailing(QString(), QStringLiteral("\\")), QStringLiteral("\\"));
    QCOMPARE(alt::countChar(QStringLiteral("a,b,,c"), QLatin1Char(',')), 3);
    const QStringList names{QStringLiteral("KOD"), QStringLiteral("NEV")};
    const QStringList values{QStringLiteral("12"), QStringLiteral("Kiss")};
    QCOMPARE(alt::pickedValue(QStringLiteral("nev"), names, values), QStringLiteral("Kiss"));
    QCOMPARE(alt::pickedValue(QStringLiteral("NE"), names, values), QString());
    QCOMPARE(alt::pickedValue(QStringLiteral("NEV"), names, {QStringLiteral("12")}), QString());
    QVERIFY(alt::anyCharIn(QStringLiteral(" AB "), QStringLiteral(" XB ")));
    QVERIFY(!alt::anyCharIn(QStringLiteral("A B"), QStringLiteral(" C ")));
}

void TstAltproc::variantText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("invalid") << QVariant() << "";
    QTest::newRow("null string") << QVariant(QMetaType::fromType<QString>()) << "";
    QTest::newRow("string") << QVariant(QStringLiteral(" a ")) << " a ";
    QTest::newRow("integer") << QVariant(-42) << "-42";
    QTest::newRow("large integer") << QVariant(qint64(12345678901LL)) << "12345678901";
    QTest::newRow("float") << QVariant(2.5) << "2.5";
    QTest::newRow("binary noise hidden") << QVariant(0.1 + 0.2) << "0.3";
}

void TstAltproc::variantText()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(alt::variantText(value), text);
}

void TstAltproc::isNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::addColumn<bool>("integer");
    QTest::newRow("digits") << " 123 " << true << true;
    QTest::newRow("negative") << "-12" << true << true;
    QTest::newRow("decimal comma") << "12,5" << true << false;
    QTest::newRow("two minus signs") << "--1" << false << false;
    QTest::newRow("letter") << "12a" << false << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("lone minus") << "-" << true << true;
}

void TstAltproc::isNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(bool, integer);
    QCOMPARE(alt::isNumber(text, false), number);
    QCOMPARE(alt::isNumber(text, true), integer);
}

void TstAltproc::parseInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << " 42 " << 42;
    QTest::newRow("negative") << "-7" << -7;
    QTest::newRow("empty") << "  " << 0;
    QTest::newRow("lone minus") << "-" << 0;
    QTest::newRow("not an integer") << "4,2" << -1;
    QTest::newRow("letters") << "abc" << -1;
    QTest::newRow("too large") << "99999999999" << -1;
}

void TstAltproc::parseInteger()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(alt::parseInteger(text), value);
}

void TstAltproc::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("rounded");
    QTest::addColumn<double>("twoDecimals");
    QTest::newRow("half up") << 2.5 << qint64(3) << 2.5;
    QTest::newRow("half away below zero") << -2.5 << qint64(-3) << -2.5;
    QTest::newRow("below half") << 2.49 << qint64(2) << 2.49;
    QTest::newRow("cents half up") << 1.005 << qint64(1) << 1.01;
    QTest::newRow("negative cents") << -1.235 << qint64(-1) << -1.24;
    // Converting the whole amount to single precision would give 16777216.
    QTest::newRow("large amount keeps its digits") << 16777217.0 << qint64(16777217) << 16777217.0;
    QTest::newRow("large amount with fraction") << 123456789.5 << qint64(123456790) << 123456789.5;
}

void TstAltproc::rounding()
{
    QFETCH(double, value);
    QFETCH(qint64, rounded);
    QFETCH(double, twoDecimals);
    QCOMPARE(alt::roundHalfAway(value), rounded);
    QCOMPARE(alt::roundTo(2, value), twoDecimals);
}

void TstAltproc::exponentForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("comma mantissa") << "1,5E3" << 1500.0;
    QTest::newRow("point mantissa") << "2.25E+2" << 225.0;
    QTest::newRow("negative mantissa") << "-3E2" << -300.0;
    QTest::newRow("negative exponent") << "1,5E-3" << 0.0;
    QTest::newRow("no exponent") << "12,5" << 12.5;
    QTest::newRow("garbage") << "E" << 0.0;
}

void TstAltproc::exponentForm()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(alt::fromExponentForm(text), value);
}

void TstAltproc::decimals_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("shown");
    QTest::newRow("decimal comma") << "12,5" << true << 12.5 << -1 << "12,5";
    QTest::newRow("decimal point") << "12.5" << true << 12.5 << 2 << "12,50";
    QTest::newRow("large, no exponent")
        << "123456789012" << true << 123456789012.0 << -1 << "123456789012";
    QTest::newRow("small, no exponent") << "0,00001" << true << 0.00001 << -1 << "0,00001";
    QTest::newRow("negative zero") << "-0,001" << true << -0.001 << 1 << "0,0";
    QTest::newRow("not a number") << "1,2,3" << false << 0.0 << -1 << "0";
    QTest::newRow("empty") << "" << false << 0.0 << -1 << "0";
}

void TstAltproc::decimals()
{
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(double, value);
    QFETCH(int, places);
    QFETCH(QString, shown);
    bool parsed = !ok;
    const double v = alt::parseDecimal(typed, &parsed);
    QCOMPARE(parsed, ok);
    QCOMPARE(v, value);
    QCOMPARE(alt::formatDecimal(v, places), shown);
}

void TstAltproc::columns_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("letters");
    QTest::newRow("first") << 0 << "A";
    QTest::newRow("last single") << 25 << "Z";
    QTest::newRow("first double") << 26 << "AA";
    QTest::newRow("AZ") << 51 << "AZ";
    QTest::newRow("BA") << 52 << "BA";
    QTest::newRow("last of N") << 389 << "NZ";
}

void TstAltproc::columns()
{
    QFETCH(int, index);
    QFETCH(QString, letters);
    QCOMPARE(alt::columnLetters(index), letters);
    QCOMPARE(alt::columnIndex(letters.toLower() + QLatin1Char(' ')), index);
}

void TstAltproc::shiftColumn_data()
{
    QTest::addColumn<QString>("letters");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("result");
    QTest::newRow("within the alphabet") << "B" << 3 << "E";
    QTest::newRow("carry into a first letter") << "Z" << 1 << "AA";
    QTest::newRow("carry in two letters") << "AZ" << 2 << "BB";
    QTest::newRow("back across the carry") << "AA" << -1 << "Z";
    QTest::newRow("before A") << "A" << -1 << "";
    QTest::newRow("past ZZ") << "ZZ" << 1 << "";
    QTest::newRow("not a column") << "A1" << 1 << "";
}

void TstAltproc::shiftColumn()
{
    QFETCH(QString, letters);
    QFETCH(int, n);
    QFETCH(QString, result);
    QCOMPARE(alt::shiftColumn(letters, n), result);
    // Out-of-range inputs of the other column routines give the empty result as well.
    QCOMPARE(alt::columnLetters(-1), QString());
    QCOMPARE(alt::columnLetters(390), QString());
    QCOMPARE(alt::columnIndex(QStringLiteral("ABC")), -1);
    QCOMPARE(alt::columnIndex(QString()), -1);
}

void TstAltproc::identityNumbers_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("tax");
    QTest::addColumn<bool>("social");
    // 8*1+4*2+1*3+5*4+9*5+2*6+6*7+3*8+1*9 = 171 = 15*11 + 6
    QTest::newRow("valid tax number") << "8415926316" << true << false;
    QTest::newRow("tax check digit off") << "8415926317" << false << false;
    QTest::newRow("zeros accepted") << "0000000000" << true << false;
    // 1*1+1*9 = 10: a remainder of ten matches no check digit, not even 0
    QTest::newRow("tax remainder ten") << "1000000010" << false << false;
    QTest::newRow("tax with a letter") << "84159263A6" << false << false;
    // 1*3+2*7+3*3+4*7+5*3+6*7+7*3+8*7 = 188 → 8
    QTest::newRow("valid social security") << "123456788" << false << true;
    QTest::newRow("social check digit off") << "123456789" << false << false;
    QTest::newRow("too short") << "12345678" << false << false;
}

void TstAltproc::identityNumbers()
{
    QFETCH(QString, number);
    QFETCH(bool, tax);
    QFETCH(bool, social);
    QCOMPARE(alt::validTaxNumber(number), tax);
    QCOMPARE(alt::validSocialSecurityNumber(number), social);
}

void TstAltproc::modeName_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("name");
    QTest::newRow("browse") << "browse"
                            << "böngész";
    QTest::newRow("insert") << "insert"
                            << "új tétel";
    QTest::newRow("insert variant") << "insert2"
                                    << "új tétel";
    QTest::newRow("update") << "update"
                            << "módosítás";
    QTest::newRow("modify") << "modify"
                            << "változtatás";
    QTest::newRow("wiev") << "wiev"
                          << "megnéz";
    QTest::newRow("other") << "delete"
                           << "delete";
}

void TstAltproc::modeName()
{
    QFETCH(QString, mode);
    QFETCH(QString, name);
    QCOMPARE(alt::modeName(mode), name);
}

void TstAltproc::higherVersion_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("higher");
    QTest::newRow("numbers, not texts") << "2.10.0"
                                        << "2.9.9"
                                        << "2.10.0";
    QTest::newRow("second higher") << "2.6.7"
                                   << "2.6.8"
                                   << "2.6.8";
    QTest::newRow("more parts") << "2.6"
                                << "2.6.1"
                                << "2.6.1";
    QTest::newRow("equal returns the first") << "2.6.7"
                                             << "2.6.7 "
                                             << "2.6.7";
}

void TstAltproc::higherVersion()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, higher);
    QCOMPARE(alt::higherVersion(a, b), higher);
}

void TstAltproc::copyFile()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("forrás.txt"));
    const QString target = dir.filePath(QStringLiteral("cél.txt"));
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("abc");
    f.close();

    ScriptedMessagesGuard messages;
    QVERIFY(alt::copyFile(source, target, true));
    QVERIFY(messages->texts.isEmpty());
    QVERIFY(!alt::copyFile(source, target, true));
    QCOMPARE(messages->texts.size(), 1);
    QVERIFY(
        messages->texts[0].startsWith(QStringLiteral("A fájl átmásolása nem sikerült. Hibakód=")));
    QVERIFY(messages->texts[0].size() >
            QStringLiteral("A fájl átmásolása nem sikerült. Hibakód=").size());
    QVERIFY(alt::copyFile(source, target, false));
    QVERIFY(!alt::copyFile(dir.filePath(QStringLiteral("nincs")), target, false));
    QCOMPARE(messages->texts.size(), 2);
    QFile copy(target);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("abc"));
}

void TstAltproc::rights_data()
{
    QTest::addColumn<QString>("requirement");
    QTest::addColumn<QString>("rights");
    QTest::addColumn<bool>("met");
    QTest::newRow("shared letter") << "AB"
                                   << "BC" << true;
    QTest::newRow("no shared letter") << "AB"
                                      << "CD" << false;
    QTest::newRow("empty requirement") << ""
                                       << "CD" << true;
    QTest::newRow("blank requirement") << "  "
                                       << "CD" << true;
    QTest::newRow("empty holder") << "AB"
                                  << "" << true;
    QTest::newRow("W meets everything") << "AB"
                                        << "W" << true;
    QTest::newRow("X is nobody") << "X"
                                 << "W9" << false;
    QTest::newRow("lower-case x is nobody") << "x"
                                            << "" << false;
    QTest::newRow("X among other letters") << "XA"
                                           << "A" << true;
    QTest::newRow("power user is no joker") << "A"
                                            << "9" << false;
}

void TstAltproc::rights()
{
    QFETCH(QString, requirement);
    QFETCH(QString, rights);
    QFETCH(bool, met);
    QCOMPARE(alt::rightsMet(requirement, rights), met);
}

QTEST_GUILESS_MAIN(TstAltproc)
#include "tst_altproc.moc"
