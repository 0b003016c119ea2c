#pragma once

#include "app/MainForm.h"
#include "video/MpvVideoPlayer.h"

#include <QLocale>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

// The main window as the program builds it, playing the test clips.
class RealVideo : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        window = std::make_unique<TfrmMain>(std::make_unique<TMpvVideoPlayer>(
            TMpvOptions{{"ao", "null"}, {"hwdec", "no"}, {"gpu-hwdec-interop", "no"}}));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    std::unique_ptr<TfrmMain> window;
};
