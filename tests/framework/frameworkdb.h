#pragma once

#include "framework/alapdat.h"
#include "platform/dbconnection.h"
#include "support/testdb.h"

#include <QTest>

/// A fresh database with the metadata connection d_alap opened on it by Tdm.
struct FrameworkDb {
    explicit FrameworkDb(const QStringList& optionalTables = TestDb::allOptional())
        : db(optionalTables)
    {
        if (db.ok() && !mivo::Tdm::instance().connect())
            QTest::qFail(qPrintable(mivo::Tdm::instance().lastError()), __FILE__, __LINE__);
    }
    ~FrameworkDb() { mivo::db::Connection::named(mivo::Tdm::connectionName).clear(); }
    FrameworkDb(const FrameworkDb&) = delete;
    FrameworkDb& operator=(const FrameworkDb&) = delete;

    bool ok() const { return db.ok(); }
    bool exec(const QString& sql) { return db.exec(sql); }

    TestDb db;
};
