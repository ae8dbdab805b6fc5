#include "AssetTable.h"

#include "BrowserArt.h"
#include "GameArt.h"
#include "ImageFiles.h"
#include "Sounds.h"

#include <functional>
#include <map>

namespace assetgen {

namespace {

using Render = std::function<QByteArray()>;

const std::map<QString, Render>& table()
{
    static const std::map<QString, Render> t = [] {
        std::map<QString, Render> m;
        // The game.
        m["sidestopper.wav"] = [] { return encodeWave(gameOverSound()); };
        m["waterdrop.wav"] = [] { return encodeWave(landingSound()); };
        m["energypod.wav"] = [] { return encodeWave(rowRemovedSound()); };
        m["wall_left.png"] = [] { return encodePng(wallPicture(80, 520, 0)); };
        m["wall_right.png"] = [] { return encodePng(wallPicture(20, 520, 10)); };
        m["velmor.png"] = [] { return encodePng(gameIcon()); };
        m["velmor_logo.bmp"] = [] { return encodeBmp24(gameLogo()); };
        // The browser component.
        m["roamwell.png"] = [] { return encodePng(browserIcon(32)); };
        m["roamwell16.png"] = [] { return encodePng(browserIcon(16)); };
        for (const char* glyph : {"back", "forward", "stop", "refresh", "home", "search", "sitepins"}) {
            const QString name = QString::fromLatin1(glyph);
            m["tb_" + name + ".png"] = [name] { return encodePng(toolbarGlyph(name)); };
        }
        m["roamwell_about.jpg"] = [] { return encodeJpeg(browserAboutPicture(), 90); };
        return m;
    }();
    return t;
}

} // namespace

QStringList assetNames()
{
    QStringList names;
    for (const auto& [name, render] : table())
        names << name;
    return names;
}

std::optional<QByteArray> renderAsset(const QString& name)
{
    const auto it = table().find(name);
    if (it == table().end())
        return std::nullopt;
    return it->second();
}

} // namespace assetgen
