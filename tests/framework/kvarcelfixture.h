#pragma once

#include "framework/kvarcelbuilder.h"

#include "core/ini.h"
#include "core/messages.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "schema/demodata.h"
#include "support/testdb.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

/// A fresh database (with demo data when asked) and a list builder connected to it, started
/// for a user; notices are recorded. The configuration has SQLTYPE "I" and the history in a
/// temporary folder.
struct KvarcelFixture {
    explicit KvarcelFixture(bool demo = true, const QString& jogok = QStringLiteral("A"),
                            const QString& user = QStringLiteral("Kovács Béla"))
    {
        mivo::Ini& ini = mivo::Ini::instance();
        ini.clear();
        ini.set(QStringLiteral("SQLTYPE"), QStringLiteral("I"));
        ini.set(QStringLiteral("KVARCITRC"), dir.path());
        ini.set(QStringLiteral("KVARCI_PATH"), dir.path());
        ini.set(QStringLiteral("GEPNEV"), QStringLiteral("GEP1"));
        if (!db.ok()) {
            QTest::qFail(qPrintable(db.error()), __FILE__, __LINE__);
            return;
        }
        QString error;
        if (demo) {
            mivo::schema::DemoScale scale;
            scale.customers = 120;
            if (!mivo::schema::fillDemoData(db.connectionName(), scale, QDate(2024, 5, 6), &error))
                QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        }
        builder = std::make_unique<mivo::kvarcel::Builder>(db.connectionName());
        if (!builder->connect(&error))
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        builder->start(user, jogok);
    }
    ~KvarcelFixture()
    {
        builder.reset();
        mivo::db::Connection::named(QStringLiteral("D_KVARCEL")).clear();
    }

    mivo::kvarcel::ListItem& item(const QString& alias)
    {
        return *builder->catalogue().item(alias);
    }
    /// Sets the marks of an item ("" leaves one empty).
    void choose(const QString& alias, const QString& kell, const QString& rendez = {},
                const QString& csoport = {}, const QString& feltetel = {})
    {
        mivo::kvarcel::ListItem& i = item(alias);
        i.kell = kell;
        i.rendez = rendez;
        i.csoport = csoport;
        i.feltetel = feltetel;
    }
    /// The result grid as rows of display texts.
    QList<QStringList> rows()
    {
        QList<QStringList> out;
        auto& m = builder->result();
        for (int r = 0; r < m.rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < m.columnCount(); ++c)
                row << m.data(m.index(r, c)).toString();
            out << row;
        }
        return out;
    }
    /// Tables and views whose names begin with TMP.
    int temporaryObjects()
    {
        return mivo::db::scalar(db.connectionName(),
                                QStringLiteral("select count(*) from rdb$relations where "
                                               "rdb$relation_name starting with 'TMP'"))
            .toInt();
    }

    QTemporaryDir dir;
    mivo::ScriptedMessagesGuard messages;
    TestDb db;
    std::unique_ptr<mivo::kvarcel::Builder> builder;
};
