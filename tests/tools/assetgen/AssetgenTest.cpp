// Runs the asset generator as the build does and checks that what it writes is
// what the game and the browser component can load.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace {

const QStringList GameAssets = {"sidestopper.wav", "waterdrop.wav",  "energypod.wav",
                                 "wall_left.png",   "wall_right.png", "velmor.png",
                                 "velmor_logo.bmp"};
const QStringList BrowserAssets = {"roamwell.png",    "roamwell16.png",  "tb_back.png",
                                    "tb_forward.png",  "tb_stop.png",     "tb_refresh.png",
                                    "tb_home.png",     "tb_search.png",   "tb_sitepins.png",
                                    "roamwell_about.jpg"};

struct RunResult {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

RunResult RunGenerator(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ASSETGEN_PATH), args);
    if (!p.waitForFinished(60000))
        return {-1, {}, "did not finish"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint16 Le16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 Le32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

struct Wave {
    quint32 riffSize = 0;
    quint16 format = 0, channels = 0, blockAlign = 0, bits = 0;
    quint32 rate = 0, byteRate = 0;
    std::vector<double> samples;   // -1 .. 1
};

// Walks the chunks as a player would, rather than assuming a 44-byte header.
std::optional<Wave> ParseWave(const QByteArray& b)
{
    if (b.size() < 12 || b.left(4) != "RIFF" || b.mid(8, 4) != "WAVE")
        return std::nullopt;
    Wave w;
    w.riffSize = Le32(b, 4);
    bool haveFormat = false, haveData = false;
    for (int at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = Le32(b, at + 4);
        if (at + 8 + qint64(size) > b.size())
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            w.format = Le16(b, at + 8);
            w.channels = Le16(b, at + 10);
            w.rate = Le32(b, at + 12);
            w.byteRate = Le32(b, at + 16);
            w.blockAlign = Le16(b, at + 20);
            w.bits = Le16(b, at + 22);
            haveFormat = true;
        } else if (id == "data" && haveFormat && w.bits == 16) {
            for (quint32 i = 0; i + 1 < size; i += 2)
                w.samples.push_back(qint16(Le16(b, at + 8 + int(i))) / 32768.0);
            haveData = true;
        }
        at += 8 + int(size) + int(size % 2);
    }
    if (!haveFormat || !haveData)
        return std::nullopt;
    return w;
}

// Zero crossings per second over a stretch: a rough measure of pitch.
double CrossingRate(const std::vector<double>& s, double from, double to, int rate)
{
    const size_t a = size_t(from * rate), b = std::min(s.size(), size_t(to * rate));
    int crossings = 0;
    for (size_t i = a + 1; i < b; ++i)
        if ((s[i - 1] < 0) != (s[i] < 0))
            ++crossings;
    return crossings / (to - from);
}

class AssetgenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "assetgen_test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            app = std::make_unique<QCoreApplication>(argc, argv);
        dir = std::make_unique<QTemporaryDir>();
        first = RunGenerator(QStringList{dir->path()} + GameAssets + BrowserAssets);
    }
    static void TearDownTestSuite()
    {
        dir.reset();
        app.reset();   // before Qt's own globals go at exit
    }

    static QString Path(const QString& name) { return dir->filePath(name); }

    static inline std::unique_ptr<QCoreApplication> app;
    static inline std::unique_ptr<QTemporaryDir> dir;
    static inline RunResult first;
};

TEST_F(AssetgenTest, WritesEveryNamedFileAndNothingElse)
{
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QStringList written = QDir(dir->path()).entryList(QDir::Files);
    EXPECT_EQ(QSet<QString>(written.begin(), written.end()),
              QSet<QString>(GameAssets.begin(), GameAssets.end())
                  + QSet<QString>(BrowserAssets.begin(), BrowserAssets.end()));

    const RunResult list = RunGenerator({"--list"});
    ASSERT_EQ(list.exitCode, 0);
    const QStringList known = QString::fromUtf8(list.out).split('\n', Qt::SkipEmptyParts);
    for (const QString& name : GameAssets + BrowserAssets)
        EXPECT_TRUE(known.contains(name)) << name.toStdString();
}

TEST_F(AssetgenTest, SoundsAreMono16BitPcmOfTheirLengthsWithQuietEnds)
{
    struct Expect {
        const char* name;
        double minSeconds, maxSeconds;
    };
    for (const Expect& e : {Expect{"sidestopper.wav", 0.7, 0.9}, Expect{"waterdrop.wav", 0.1, 0.2},
                            Expect{"energypod.wav", 0.3, 0.4}}) {
        SCOPED_TRACE(e.name);
        const QByteArray bytes = ReadFile(Path(e.name));
        const std::optional<Wave> w = ParseWave(bytes);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->riffSize, quint32(bytes.size() - 8));
        EXPECT_EQ(w->format, 1);
        EXPECT_EQ(w->channels, 1);
        EXPECT_EQ(w->rate, 22050u);
        EXPECT_EQ(w->bits, 16);
        EXPECT_EQ(w->blockAlign, 2);
        EXPECT_EQ(w->byteRate, 44100u);

        const double seconds = double(w->samples.size()) / w->rate;
        EXPECT_GE(seconds, e.minSeconds);
        EXPECT_LE(seconds, e.maxSeconds);

        double peak = 0;
        for (double v : w->samples)
            peak = std::max(peak, std::abs(v));
        EXPECT_GT(peak, 0.3) << "too quiet to hear";
        EXPECT_LT(peak, 0.99) << "clipped";
        // Faded in and out: the first and last samples sit near silence, so no click.
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_LT(std::abs(w->samples[i]), 0.01);
            EXPECT_LT(std::abs(w->samples[w->samples.size() - 1 - i]), 0.01);
        }
    }
}

TEST_F(AssetgenTest, GameOverFallsInPitchAndTheDropRises)
{
    const std::optional<Wave> over = ParseWave(ReadFile(Path("sidestopper.wav")));
    const std::optional<Wave> drop = ParseWave(ReadFile(Path("waterdrop.wav")));
    ASSERT_TRUE(over && drop);
    EXPECT_GT(CrossingRate(over->samples, 0.02, 0.2, 22050),
              1.5 * CrossingRate(over->samples, 0.5, 0.68, 22050));
    EXPECT_LT(CrossingRate(drop->samples, 0.005, 0.03, 22050),
              CrossingRate(drop->samples, 0.05, 0.1, 22050));
}

TEST_F(AssetgenTest, PicturesLoadAtTheirSizes)
{
    struct Expect {
        const char* name;
        const char* format;
        int width, height;
    };
    const Expect all[] = {
        {"wall_left.png", "png", 80, 520},   {"wall_right.png", "png", 20, 520},
        {"velmor.png", "png", 64, 64},        {"velmor_logo.bmp", "bmp", 450, 116},
        {"roamwell.png", "png", 32, 32},      {"roamwell16.png", "png", 16, 16},
        {"tb_back.png", "png", 24, 24},       {"tb_forward.png", "png", 24, 24},
        {"tb_stop.png", "png", 24, 24},       {"tb_refresh.png", "png", 24, 24},
        {"tb_home.png", "png", 24, 24},       {"tb_search.png", "png", 24, 24},
        {"tb_sitepins.png", "png", 24, 24},   {"roamwell_about.jpg", "jpeg", 139, 214},
    };
    for (const Expect& e : all) {
        SCOPED_TRACE(e.name);
        QImageReader reader(Path(e.name));
        EXPECT_EQ(reader.format(), QByteArray(e.format));
        const QImage img = reader.read();
        ASSERT_FALSE(img.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(img.size(), QSize(e.width, e.height));
        // Something was drawn: a blank or single-colour picture is a failed rendering.
        QSet<QRgb> colours;
        for (int y = 0; y < img.height() && colours.size() < 16; ++y)
            for (int x = 0; x < img.width(); ++x)
                colours.insert(img.pixel(x, y));
        EXPECT_GE(colours.size(), 16);
    }
}

TEST_F(AssetgenTest, LogoIsAnUncompressed24BitBitmap)
{
    const QByteArray b = ReadFile(Path("velmor_logo.bmp"));
    ASSERT_GE(b.size(), 54);
    EXPECT_EQ(b.left(2), "BM");
    EXPECT_EQ(Le32(b, 2), quint32(b.size()));
    EXPECT_EQ(Le32(b, 10), 54u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(qint32(Le32(b, 18)), 450);
    EXPECT_EQ(qint32(Le32(b, 22)), 116);
    EXPECT_EQ(Le16(b, 26), 1);
    EXPECT_EQ(Le16(b, 28), 24);
    EXPECT_EQ(Le32(b, 30), 0u);
    EXPECT_EQ(b.size(), 54 + 1352 * 116);   // 450 * 3 bytes padded to 1352 per row
}

TEST_F(AssetgenTest, IconsAndGlyphsStandOnATransparentGround)
{
    for (const QString& name : {"velmor.png", "roamwell.png", "roamwell16.png", "tb_back.png", "tb_forward.png",
                                "tb_stop.png", "tb_refresh.png", "tb_home.png", "tb_search.png",
                                "tb_sitepins.png"}) {
        SCOPED_TRACE(name.toStdString());
        const QImage img = QImage(Path(name)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(img.width() - 1, img.height() - 1)), 0);
        int opaque = 0, clear = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const int a = qAlpha(img.pixel(x, y));
                opaque += a == 255;
                clear += a == 0;
            }
        const int area = img.width() * img.height();
        EXPECT_GT(opaque, area / 10) << "glyph too faint or too small";
        EXPECT_GT(clear, area / 10) << "background not transparent";
    }
}

TEST_F(AssetgenTest, SecondRunWritesTheSameBytes)
{
    QTemporaryDir again;
    ASSERT_EQ(RunGenerator(QStringList{again.path()} + GameAssets + BrowserAssets).exitCode, 0);
    for (const QString& name : GameAssets + BrowserAssets) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray before = ReadFile(Path(name));
        EXPECT_FALSE(before.isEmpty());
        EXPECT_EQ(before, ReadFile(again.filePath(name)));
    }
}

TEST_F(AssetgenTest, UnknownNameFailsAndWritesNothing)
{
    QTemporaryDir out;
    const RunResult r = RunGenerator({out.path(), "velmor.png", "velmor.gif"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("velmor.gif"));
    EXPECT_FALSE(QFile::exists(out.filePath("velmor.png")));

    EXPECT_NE(RunGenerator({}).exitCode, 0);
    EXPECT_NE(RunGenerator({out.path()}).exitCode, 0);
}

} // namespace
