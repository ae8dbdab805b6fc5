#include "platform/runtime/App.h"
#include "platform/runtime/Startup.h"
#include "platform/sound/Sound.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace plat;

namespace {

// A short, valid 16-bit mono PCM sound.
void WriteWav(const QString& path, int milliseconds = 50)
{
    const quint32 rate = 22050;
    const quint32 samples = rate * milliseconds / 1000;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i)
        out << qint16((i / 25) % 2 ? 8000 : -8000);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(here_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(here_.path());
        SetSoundObserver([this](const QString& requested, const QString& resolved) {
            played_.emplace_back(requested, resolved);
        });
    }

    void TearDown() override
    {
        SetSoundObserver({});
        QDir::setCurrent(previous_);
        for (const QString& f : besideProgram_)
            QFile::remove(f);
    }

    // A file beside the program, removed after the test.
    QString PutBesideProgram(const QString& name)
    {
        const QString path = App::Path() + "/" + name;
        WriteWav(path);
        besideProgram_.push_back(path);
        return path;
    }

    static QString UniqueName(const char* stem)
    {
        return QString("%1-%2.wav").arg(stem).arg(QCoreApplication::applicationPid());
    }

    QTemporaryDir here_;
    QString previous_;
    std::vector<QString> besideProgram_;
    std::vector<std::pair<QString, QString>> played_;
};

}  // namespace

TEST_F(SoundTest, BareNameIsFoundInTheCurrentFolderBeforeBesideTheProgram)
{
    const QString name = UniqueName("waterdrop");
    const QString beside = PutBesideProgram(name);

    EXPECT_EQ(sndPlaySound(name, SND_ASYNC), 1);
    WriteWav(here_.filePath(name));
    EXPECT_EQ(sndPlaySound(name, SND_ASYNC), 1);

    ASSERT_EQ(played_.size(), 2u);
    EXPECT_EQ(played_[0].first, name);
    EXPECT_EQ(played_[0].second, beside);
    EXPECT_EQ(played_[1].second, here_.filePath(name));
}

TEST_F(SoundTest, NameWithAFolderIsTakenAsItStands)
{
    QDir(here_.path()).mkdir("sounds");
    WriteWav(here_.filePath("sounds/energypod.wav"));
    PutBesideProgram(UniqueName("energypod"));

    EXPECT_EQ(sndPlaySound(here_.filePath("sounds/energypod.wav"), SND_ASYNC), 1);
    EXPECT_EQ(sndPlaySound("sounds/energypod.wav", SND_ASYNC), 1);
    EXPECT_EQ(sndPlaySound("sounds/" + UniqueName("energypod"), SND_ASYNC), 1);  // not looked for beside the program

    ASSERT_EQ(played_.size(), 3u);
    EXPECT_EQ(played_[0].second, here_.filePath("sounds/energypod.wav"));
    EXPECT_EQ(played_[1].second, here_.filePath("sounds/energypod.wav"));
    EXPECT_EQ(played_[2].second, "");
}

TEST_F(SoundTest, MissingFilePlaysTheDefaultUnlessAskedNotTo)
{
    EXPECT_EQ(sndPlaySound("sidestopper-nowhere.wav", SND_ASYNC), 1);
    ASSERT_EQ(played_.size(), 1u);
    EXPECT_EQ(played_[0].first, "sidestopper-nowhere.wav");
    EXPECT_EQ(played_[0].second, "");  // the default sound

    EXPECT_EQ(sndPlaySound("sidestopper-nowhere.wav", SND_ASYNC | SND_NODEFAULT), 0);
    QDir(here_.path()).mkdir("folder.wav");  // a folder is not a sound
    EXPECT_EQ(sndPlaySound("folder.wav", SND_ASYNC | SND_NODEFAULT), 0);
    EXPECT_EQ(played_.size(), 1u);
}

// CI has no sound card: playing must neither block nor fail, however the
// calls come.
TEST_F(SoundTest, PlayingNeverBlocksTheCaller)
{
    EnsureApplication();
    WriteWav(here_.filePath("long.wav"), 2000);
    WriteWav(here_.filePath("short.wav"));
    QFile broken(here_.filePath("broken.wav"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("RIFF not really");
    broken.close();

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(sndPlaySound("long.wav", SND_ASYNC), 1);
        EXPECT_EQ(sndPlaySound("short.wav", SND_ASYNC), 1);  // cuts off the long one
        EXPECT_EQ(sndPlaySound("broken.wav", SND_ASYNC), 1);
        EXPECT_EQ(sndPlaySound("missing.wav", SND_SYNC), 1);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(sndPlaySound("", SND_ASYNC), 1);  // stops whatever plays
    EXPECT_LT(clock.elapsed(), 5000);  // played in turn, five 2 s sounds would take 10 s

    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(played_.size(), 20u);
}
