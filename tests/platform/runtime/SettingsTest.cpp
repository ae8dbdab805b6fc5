#include "platform/runtime/Errors.h"
#include "platform/runtime/Settings.h"
#include "platform/runtime/SettingsTable.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

using namespace plat;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
    }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    QString FilePath() const { return SettingsFilePath(app_); }

    QByteArray FileBytes() const
    {
        QFile f(FilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void WriteFileBytes(const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(FilePath()).absolutePath());
        QFile f(FilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QProcess* StartHelper(const QStringList& args)
    {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir_.path());
        p->setProcessEnvironment(env);
        p->start(RUNTIME_HELPER, args);
        return p;
    }

    struct HelperRun {
        int exitCode = -1;
        QString out;
        QString err;
    };
    HelperRun RunHelper(const QStringList& args)
    {
        std::unique_ptr<QProcess> helper(StartHelper(args));
        HelperRun run;
        if (!helper->waitForFinished(30000))
            return run;
        run.exitCode = helper->exitCode();
        run.out = QString::fromUtf8(helper->readAllStandardOutput());
        run.err = QString::fromUtf8(helper->readAllStandardError());
        return run;
    }

    QTemporaryDir dir_;
    QString app_ = "Velmor";
};

}  // namespace

TEST_F(SettingsTest, FileLivesUnderTheConfigFolder)
{
    EXPECT_EQ(FilePath(), dir_.path() + "/appsettings/Velmor.ini");
    EXPECT_EQ(GetSetting(app_, "Game", "Size", "315"), "315");
    EXPECT_FALSE(QFile::exists(FilePath()));  // reading creates nothing
}

TEST_F(SettingsTest, AwkwardTextsRoundTripExactly)
{
    const QStringList values{
        "", " ", "  leading", "trailing  ", "a;b#c", ";starts", "#starts", "multi\nline\r\nend\r",
        "back\\slash\\", "\\n is not a newline", "=equals=", "[not a section]", "tab\there\t",
        QString::fromUtf8("\xc3\xbcn\xc3\xafc\xc3\xb8" "d\xc3\xa9 \xe2\x9c\x93"), QString("nul") + QChar(0) + "inside",
        "C:\\Program Files\\Velmor\\sitepin.htm", "\\", "\\s", "ends with backslash\\",
    };
    for (int i = 0; i < values.size(); ++i)
        SaveSetting(app_, "Odd", "Key" + QString::number(i), values[i]);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(GetSetting(app_, "Odd", "Key" + QString::number(i), "<none>"), values[i]) << i;

    // Names are text too.
    const QString section = "Sec]tion = [x] ; #";
    const QString key = " Key=With\nAll;#[] ";
    SaveSetting(app_, section, key, "v");
    EXPECT_EQ(GetSetting(app_, section, key), "v");
    EXPECT_EQ(GetSetting(app_, "Odd", "Key0", "<none>"), "");  // an empty value is not a missing one
}

TEST_F(SettingsTest, NamesMatchWhateverTheCaseAndKeepTheirFirstSpelling)
{
    SaveSetting(app_, "Game", "Highscore", "100");
    EXPECT_EQ(GetSetting(app_, "GAME", "highscore"), "100");
    SaveSetting(app_, "game", "HIGHSCORE", "250");
    EXPECT_EQ(GetSetting(app_, "Game", "Highscore"), "250");

    const QByteArray file = FileBytes();
    EXPECT_EQ(file, "[Game]\nHighscore=250\n");
}

TEST_F(SettingsTest, EverySaveIsOnDiskBeforeItReturns)
{
    SaveSetting(app_, "Game", "Size", "315");
    EXPECT_TRUE(FileBytes().contains("Size=315"));

    // Another writer changes the file behind our back: the next read sees it.
    WriteFileBytes("[Game]\nSize=400\n");
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "400");
    WriteFileBytes("[Game]\nSize=401\n");  // same length, same second
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "401");
}

TEST_F(SettingsTest, SaveJustBeforeEndIsKept)
{
    std::unique_ptr<QProcess> helper(StartHelper({"save-end", app_, "Game", "Highscorename", "Ann"}));
    ASSERT_TRUE(helper->waitForFinished(30000));
    EXPECT_EQ(helper->exitCode(), 0);
    EXPECT_EQ(GetSetting(app_, "Game", "Highscorename"), "Ann");
}

TEST_F(SettingsTest, ProcessesSavingAtOnceLoseNothing)
{
    constexpr int processes = 4;
    constexpr int keysEach = 40;
    std::vector<std::unique_ptr<QProcess>> helpers;
    for (int p = 0; p < processes; ++p)
        helpers.emplace_back(StartHelper({"save", app_, "Shared", QString("p%1k").arg(p), QString::number(keysEach)}));
    for (auto& h : helpers) {
        ASSERT_TRUE(h->waitForFinished(60000));
        ASSERT_EQ(h->exitCode(), 0) << h->readAllStandardError().toStdString();
    }
    for (int p = 0; p < processes; ++p) {
        for (int k = 0; k < keysEach; ++k) {
            const QString key = QString("p%1k%2").arg(p).arg(k);
            EXPECT_EQ(GetSetting(app_, "Shared", key), "value-" + key);
        }
    }
}

TEST_F(SettingsTest, ThreadsSavingAtOnceLoseNothing)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int k = 0; k < 25; ++k)
                SaveSetting(app_, "Threads", QString("t%1k%2").arg(t).arg(k), QString::number(t * 100 + k));
        });
    }
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < 4; ++t)
        for (int k = 0; k < 25; ++k)
            EXPECT_EQ(GetSetting(app_, "Threads", QString("t%1k%2").arg(t).arg(k)), QString::number(t * 100 + k));
}

TEST_F(SettingsTest, DamagedFileReadsAsEmptyAndKeepsEveryByte)
{
    QByteArray junk("\x00\x01\xff\xfe garbage\n\x89PNG\r\n\x1a\n", 22);
    junk += QByteArray(300, '\0');
    WriteFileBytes(junk);
    EXPECT_EQ(GetSetting(app_, "Game", "Size", "315"), "315");

    SaveSetting(app_, "Game", "Size", "330");
    const QByteArray after = FileBytes();
    EXPECT_TRUE(after.startsWith(junk)) << "the damaged content was not kept";
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "330");
}

TEST_F(SettingsTest, HandEditedLinesSurviveARewrite)
{
    const QByteArray original =
        "; written by hand\n"
        "[Game]\n"
        "  Size = 315 \r\n"
        "this line means nothing\n"
        "Rows=\xff\xfe\n"  // not UTF-8
        "\n"
        "# end of game\n"
        "[Options]\n"
        "Top=120\n";
    WriteFileBytes(original);
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "315");

    SaveSetting(app_, "Game", "Columns", "28");
    SaveSetting(app_, "Options", "Top", "240");
    EXPECT_EQ(FileBytes(),
              "; written by hand\n"
              "[Game]\n"
              "  Size = 315 \r\n"
              "this line means nothing\n"
              "Rows=\xff\xfe\n"
              "Columns=28\n"
              "\n"
              "# end of game\n"
              "[Options]\n"
              "Top=240\n");
}

TEST_F(SettingsTest, UnreadableFileIsNeverReplaced)
{
    QDir().mkpath(FilePath());  // something that cannot be read as a file
    EXPECT_EQ(GetSetting(app_, "Game", "Size", "315"), "315");
    try {
        SaveSetting(app_, "Game", "Size", "330");
        FAIL() << "saving over an unreadable file was reported as success";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), ErrPathFileAccess);
        EXPECT_TRUE(e.Description().contains(FilePath())) << e.Description().toStdString();
    }
    EXPECT_TRUE(QFileInfo(FilePath()).isDir());
}

TEST_F(SettingsTest, KeysAndSectionsThatBeginWithAByteOrderMarkAreFoundAgain)
{
    const QString mark(QChar(0xFEFF));
    SaveSetting(app_, "Game", mark + "Size", "1");
    SaveSetting(app_, "Game", "Size", "2");
    SaveSetting(app_, "Game", mark + mark, "3");
    SaveSetting(app_, mark + "Game", "Size", "4");
    EXPECT_EQ(GetSetting(app_, "Game", mark + "Size"), "1");
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "2");
    EXPECT_EQ(GetSetting(app_, "Game", mark + mark), "3");
    EXPECT_EQ(GetSetting(app_, mark + "Game", "Size"), "4");

    // The mark that opens a file is no part of its first line.
    WriteFileBytes("\xEF\xBB\xBF[Game]\nSize=5\n\xEF\xBB\xBFSize=6\n");
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "5");
    EXPECT_EQ(GetSetting(app_, "Game", mark + "Size"), "6");
}

TEST_F(SettingsTest, NamesMatchWhateverTheCaseBeyondAsciiToo)
{
    SaveSetting(app_, "Game", QString::fromUtf8("\xc3\x84rger"), "1");  // Ärger
    EXPECT_EQ(GetSetting(app_, "GAME", QString::fromUtf8("\xc3\xa4RGER")), "1");
    SaveSetting(app_, "Game", "k", "2");
    EXPECT_EQ(GetSetting(app_, "Game", QString(QChar(0x212A))), "2");  // the Kelvin sign folds to k
    SaveSetting(app_, "Game", QString(QChar(0x212A)), "3");
    EXPECT_EQ(GetSetting(app_, "Game", "K"), "3");
}

TEST_F(SettingsTest, RepeatedSectionsActAsOne)
{
    WriteFileBytes("[Game]\nSize=1\n; note\n\n[Options]\nTop=2\n[game]\nSize=3\nRows=4\n[Start]\nLeft=5\n");
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "1");  // the first one written wins
    EXPECT_EQ(GetSetting(app_, "Game", "Rows"), "4");

    SaveSetting(app_, "Game", "Columns", "6");  // into the first of them
    DeleteSetting(app_, "Game", "Size");         // from all of them
    SaveSetting(app_, "Options", "Left", "7");
    EXPECT_EQ(FileBytes(), "[Game]\nColumns=6\n; note\n\n[Options]\nTop=2\nLeft=7\n[game]\nRows=4\n[Start]\nLeft=5\n");

    DeleteSetting(app_, "GAME");
    SaveSetting(app_, "New", "Key", "8");
    EXPECT_EQ(FileBytes(), "[Options]\nTop=2\nLeft=7\n[Start]\nLeft=5\n\n[New]\nKey=8\n");
    EXPECT_EQ(GetSetting(app_, "Start", "Left"), "5");
}

TEST_F(SettingsTest, AChangeFromAnotherProcessIsSeenAtTheNextRead)
{
    SaveSetting(app_, "Game", "Size", "330");
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "330");
    QThread::msleep(300);  // long enough for what was read to be trusted while the file's stamp stays
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "330");

    // Written anew beside it and renamed into its place.
    EXPECT_EQ(RunHelper({"try-save", app_, "Game", "Size", "340"}).out, "saved\n");
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "340");
    QThread::msleep(300);
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "340");

    // Rewritten where it is, to the same length.
    EXPECT_EQ(RunHelper({"overwrite", FilePath(), "[Game]\nSize=350\n"}).exitCode, 0);
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "350");
}

TEST_F(SettingsTest, AReadBegunAheadServesTheFirstValuesAndMissesNoLaterChange)
{
    WriteFileBytes("[Game]\nSize=330\n");
    ReadSettingsAhead(app_);
    ReadSettingsAhead(app_);  // a second call while the first runs changes nothing
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "330");
    SaveSetting(app_, "Game", "Size", "345");
    EXPECT_EQ(GetSetting(app_, "Game", "Size"), "345");

    // Ahead of a file that is not there yet, and is written by another program.
    const QString other = QStringLiteral("Other");
    ReadSettingsAhead(other);
    EXPECT_EQ(RunHelper({"try-save", other, "Game", "Rows", "20"}).out, "saved\n");
    EXPECT_EQ(GetSetting(other, "Game", "Rows"), "20");
}

TEST_F(SettingsTest, AnUnreadableFileIsReportedOnceByNameAndReadsAsTheDefaults)
{
    SaveSetting(app_, "Game", "Size", "330");
    ASSERT_TRUE(QFile::setPermissions(FilePath(), {}));
    const HelperRun run = RunHelper({"--as-user", "get", app_, "Game", "Size", "Rows"});
    QFile::setPermissions(FilePath(), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "<default>\n<default>\n<default>\n<default>\n");
    EXPECT_EQ(run.err.count(FilePath()), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith("Velmor: ")) << run.err.toStdString();
}

TEST_F(SettingsTest, AFileBeyondOneGibibyteIsNeitherReadNorReplaced)
{
    WriteFileBytes("[Game]\nSize=330\n");
    const qint64 huge = (qint64(1) << 30) + 1;
    ASSERT_TRUE(QFile::resize(FilePath(), huge));  // sparse: nothing of it is on the disk
    const HelperRun run = RunHelper({"get", app_, "Game", "Size"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "<default>\n<default>\n");
    EXPECT_TRUE(run.err.contains(FilePath()) && run.err.contains("Larger than")) << run.err.toStdString();
    try {
        SaveSetting(app_, "Game", "Size", "345");
        FAIL() << "saving over a file too large to read was reported as success";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), ErrPathFileAccess);
        EXPECT_TRUE(e.Description().contains(FilePath())) << e.Description().toStdString();
    }
    EXPECT_EQ(QFileInfo(FilePath()).size(), huge);
}

TEST_F(SettingsTest, AFailedSaveNamesTheFileAndLeavesItAsItWas)
{
    SaveSetting(app_, "Game", "Size", "330");
    const QByteArray before = FileBytes();
    const HelperRun run = RunHelper({"--file-size-limit", "200", "try-save", app_, "Game", "Highscorename", QString(1000, 'x')});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("error %1\nPath/File access error").arg(ErrPathFileAccess))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(FilePath())) << run.out.toStdString();
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(GetSetting(app_, "Game", "Highscorename", "none"), "none");
}

TEST_F(SettingsTest, DeleteRemovesKeyOrSection)
{
    SaveSetting(app_, "Game", "Size", "315");
    SaveSetting(app_, "Game", "Rows", "20");
    SaveSetting(app_, "Start", "Windowstate", "0");

    DeleteSetting(app_, "GAME", "size");
    EXPECT_EQ(GetSetting(app_, "Game", "Size", "gone"), "gone");
    EXPECT_EQ(GetSetting(app_, "Game", "Rows"), "20");

    DeleteSetting(app_, "Game");
    EXPECT_EQ(GetSetting(app_, "Game", "Rows", "gone"), "gone");
    EXPECT_EQ(GetSetting(app_, "Start", "Windowstate"), "0");

    DeleteSetting(app_, "Nowhere", "Nothing");  // quietly nothing
    DeleteSetting("NeverSaved", "Game", "Size");
    EXPECT_FALSE(QFile::exists(SettingsFilePath("NeverSaved")));
}

TEST_F(SettingsTest, ADefaultGivenAsANamedNumberIsItsDecimalText)
{
    EXPECT_STREQ(DecimalText<0>, "0");
    EXPECT_STREQ(DecimalText<-32768>, "-32768");
    EXPECT_STREQ(DecimalText<std::numeric_limits<long long>::min()>, "-9223372036854775808");
    EXPECT_STREQ(DecimalText<std::numeric_limits<long long>::max()>, "9223372036854775807");

    enum : int16_t { Named = 1234 };
    constexpr Setting<int16_t> setting{"Velmor", "Game", "Named", DecimalText<Named>};
    EXPECT_EQ(ReadSetting(setting), Named) << "missing: the default";
    SaveSetting(setting, DefaultText(setting));
    EXPECT_EQ(GetSetting(app_, "Game", "Named", "none"), "1234");
}
