// assetgen: writes the game's and the browser component's sounds and pictures.
//
//   assetgen <output-folder> <name>...   writes each named file into the folder
//   assetgen --list                      prints the names it knows, one a line
//
// Everything is drawn or synthesised here, so the same build writes the same bytes.

#include "AssetTable.h"

#include <QDir>
#include <QCoreApplication>
#include <QSaveFile>

#include <cstdio>
#include <exception>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: assetgen <output-folder> <name>...\n       assetgen --list\n");
    return 2;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    // Written aside and renamed, so that a failed run never leaves half a file
    // that the build would take as up to date.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    // Only raster painting on images, without text: no window system is needed, so the
    // build machine's screen (or the lack of one) cannot change a pixel.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    if (args == QStringList{"--list"}) {
        for (const QString& name : assetgen::AssetNames())
            std::printf("%s\n", qPrintable(name));
        return 0;
    }
    if (args.size() < 2)
        return Usage();

    // Check every name first, so that a misspelt one writes nothing at all.
    const QStringList known = assetgen::AssetNames();
    for (const QString& name : args.mid(1)) {
        if (!known.contains(name)) {
            std::fprintf(stderr, "assetgen: unknown asset '%s'; known: %s\n", qPrintable(name),
                         qPrintable(known.join(", ")));
            return 2;
        }
    }

    const QDir out(args.front());
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "assetgen: cannot create folder %s\n", qPrintable(out.path()));
        return 1;
    }
    for (const QString& name : args.mid(1)) {
        try {
            if (!WriteFile(out.filePath(name), *assetgen::RenderAsset(name))) {
                std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(out.filePath(name)));
                return 1;
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "assetgen: %s: %s\n", qPrintable(name), e.what());
            return 1;
        }
    }
    return 0;
}
