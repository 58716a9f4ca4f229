#pragma once
#include "appcontext.h"
#include "prompter.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace ombx {

// A settings window's world: an installed database in a temporary program
// folder and a prompter that records every message.
struct SettingsFixture : ::testing::Test {
    TestProgramDir program;
    RecordingPrompter prompter;
    AppContext ctx;
    Database& db = program.db();

    SettingsFixture()
    {
        ctx.programDir = program.path();
        ctx.db = &db;
        ctx.prompter = &prompter;
        ctx.account = QStringLiteral("admin");
    }

    qint64 count(const QString& table) { return db.select("select count(*) from " + table).integer(0, 0); }

    // Clicks the button of `window` whose caption is `caption`.
    static void click(QWidget& window, const QString& caption)
    {
        for (QAbstractButton* b : window.findChildren<QAbstractButton*>())
            if (b->text() == caption) {
                b->click();
                return;
            }
        ADD_FAILURE() << "no button " << caption.toStdString();
    }
};

} // namespace ombx
