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
        // Kerning pairs, Hungarian accents, a long and an empty cell, a title wider than
        // its cells.
        const QStringList column0{u"AVATÁR Wolfgang"_s, u"Tóth Ödön"_s, u""_s};
        const QStringList column1{u"Őrség út 17."_s, u"Zöldfa utca 123/B. fszt. 2."_s, u"x"_s};
        const QStringList column2{u"1"_s, u"ű"_s, u"12"_s};
        QStandardItemModel model(3, 3);
        model.setHorizontalHeaderLabels({u"NEV"_s, u"UTCA"_s, u"MEGJEGYZES_HOSSZU"_s});
        for (int r = 0; r < 3; ++r) {
            model.setItem(r, 0, new QStandardItem(column0[r]));
            model.setItem(r, 1, new QStandardItem(column1[r]));
            model.setItem(r, 2, new QStandardItem(column2[r]));
        }
        QTableView view;
        view.setModel(&model);
        fitColumnsToText(&view);

        const QFontMetrics cells = view.fontMetrics();
        const QFontMetrics titles = view.horizontalHeader()->fontMetrics();
        for (int c = 0; c < 3; ++c) {
            const int width = view.columnWidth(c);
            QVERIFY2(width >
                         titles.horizontalAdvance(model.headerData(c, Qt::Horizontal).toString()),
                     qPrintable(QString::number(c)));
            for (int r = 0; r < 3; ++r) {
                const QString text = model.index(r, c).data().toString();
                QVERIFY2(width > cells.horizontalAdvance(text), qPrintable(text));
            }
        }
        // Sized to the texts, not to a fixed width.
        QVERIFY(view.columnWidth(1) > view.columnWidth(0));
        QVERIFY(view.columnWidth(1) < cells.horizontalAdvance(column1[1]) * 2);
    }
};

QTEST_MAIN(TestColumnWidths)
#include "tst_columnwidths.moc"
