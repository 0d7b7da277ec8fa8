// Columns sized to their texts: wide enough for every cell and title as the view draws them.
#include "core/columnwidths.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using namespace mivo;
using namespace Qt::StringLiterals;

class TestColumnWidths : public QObject
{
    Q_OBJECT

private slots:
    void everyTextFitsItsColumn()
    {
        // Kerning pairs, Hungarian accents, long and empty cells, a title wider than its
        // cells.
        const QStringList column0{u"AVATÁR Wolfgang"_s, u"Tóth Ödön"_s, u""_s};
        const QStringList column1{u"Őrség út 17."_s, u"Zöldfa utca 123/B. fszt. 2."_s, u"x"_s};
        const QStringList column2{u"1"_s, u"ű"_s, u"2024.03.04 2024.03.05 2024.03.06 2024.03.07"_s};
        QStandardItemModel model(3, 3);
        model.setHorizontalHeaderLabels({u"UGYFELNEV_ES_MEGSZOLITAS"_s, u"UTCA"_s, u"DATUMOK"_s});
        for (int r = 0; r < 3; ++r) {
            model.setItem(r, 0, new QStandardItem(column0[r]));
            model.setItem(r, 1, new QStandardItem(column1[r]));
            model.setItem(r, 2, new QStandardItem(column2[r]));
        }
        QTableView view;
        view.setModel(&model);
        fitColumnsToText(&view);

        // At least what the view's own sizing gives its cells and titles.
        QTableView own;
        own.setModel(&model);
        own.resizeColumnsToContents();
        for (int c = 0; c < 3; ++c) {
            QVERIFY2(view.columnWidth(c) >= own.columnWidth(c),
                     qPrintable(
                         u"%1: %2 < %3"_s.arg(c).arg(view.columnWidth(c)).arg(own.columnWidth(c))));
        }
        // Sized to the texts, not to a fixed width.
        QVERIFY(view.columnWidth(2) > view.columnWidth(1));
        QVERIFY(view.columnWidth(2) < view.fontMetrics().horizontalAdvance(column2[2]) * 2);
    }
};

QTEST_MAIN(TestColumnWidths)
#include "tst_columnwidths.moc"
