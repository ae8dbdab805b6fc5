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

const std::map<QString, Render>& Table()
{
    static const std::map<QString, Render> t = [] {
        std::map<QString, Render> m;
        // The game.
        m["sidestopper.wav"] = [] { return EncodeWave(GameOverSound()); };
        m["waterdrop.wav"] = [] { return EncodeWave(LandingSound()); };
        m["energypod.wav"] = [] { return EncodeWave(RowRemovedSound()); };
        m["wall_left.png"] = [] { return EncodePng(WallPicture(80, 520, 0)); };
        m["wall_right.png"] = [] { return EncodePng(WallPicture(20, 520, 10)); };
        m["velmor.png"] = [] { return EncodePng(GameIcon()); };
        m["velmor_logo.bmp"] = [] { return EncodeBmp24(GameLogo()); };
        // The browser component.
        m["roamwell.png"] = [] { return EncodePng(BrowserIcon(32)); };
        m["roamwell16.png"] = [] { return EncodePng(BrowserIcon(16)); };
        for (const char* glyph : {"back", "forward", "stop", "refresh", "home", "search", "sitepins"}) {
            const QString name = QString::fromLatin1(glyph);
            m["tb_" + name + ".png"] = [name] { return EncodePng(ToolbarGlyph(name)); };
        }
        m["roamwell_about.jpg"] = [] { return EncodeJpeg(BrowserAboutPicture(), 90); };
        return m;
    }();
    return t;
}

} // namespace

QStringList AssetNames()
{
    QStringList names;
    for (const auto& [name, render] : Table())
        names << name;
    return names;
}

std::optional<QByteArray> RenderAsset(const QString& name)
{
    const auto it = Table().find(name);
    if (it == Table().end())
        return std::nullopt;
    return it->second();
}

} // namespace assetgen
