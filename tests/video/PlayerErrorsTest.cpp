#include "video/PlayerErrors.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>
#include <mpv/client.h>

TEST(PlayerErrorText, MapsMpvCodes)
{
    const struct {
        int Code;
        const char* Text;
    } cases[] = {
        {MPV_ERROR_UNKNOWN_FORMAT, "The video or audio codec is not supported."},
        {MPV_ERROR_NOTHING_TO_PLAY, "The video or audio codec is not supported."},
        {MPV_ERROR_LOADING_FAILED, "MF Player error: FFFFFFF3"},
        {MPV_ERROR_PROPERTY_UNAVAILABLE, "MF Player error: FFFFFFF6"},
        {MPV_ERROR_GENERIC, "MF Player error: FFFFFFEC"},
        {-1, "MF Player error: FFFFFFFF"},
        {1, "MF Player error: 1"},
        {0x2A, "MF Player error: 2A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlayerErrorText(c.Code).toStdString(), c.Text) << "code " << c.Code;
}

TEST(PlayerErrorMessage, KeepsTheFirstLineAndAddsMpvsReasonAndTheSubject)
{
    const QStringList lines =
        PlayerErrorMessage(MPV_ERROR_LOADING_FAILED, QStringLiteral("/videos/run 1.mp4")).split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].toStdString(), "MF Player error: FFFFFFF3");
    EXPECT_EQ(lines[1].toStdString(), std::string(mpv_error_string(MPV_ERROR_LOADING_FAILED)) + ": /videos/run 1.mp4");

    EXPECT_EQ(PlayerErrorMessage(MPV_ERROR_UNKNOWN_FORMAT).toStdString(),
              std::string("The video or audio codec is not supported.\n")
                  + mpv_error_string(MPV_ERROR_UNKNOWN_FORMAT));
}

TEST(PlayerOpenErrorMessage, SaysWhenTheFileIsMissing)
{
    const QString missing = QStringLiteral("/no/such/folder/run 1.mp4");
    EXPECT_EQ(PlayerOpenErrorMessage(MPV_ERROR_LOADING_FAILED, missing).toStdString(),
              "MF Player error: FFFFFFF3\nThe file does not exist: " + missing.toStdString());
    // A file that is there keeps mpv's own reason.
    const QString present = QDir::tempPath();
    EXPECT_EQ(PlayerOpenErrorMessage(MPV_ERROR_LOADING_FAILED, present),
              PlayerErrorMessage(MPV_ERROR_LOADING_FAILED, present));
}
