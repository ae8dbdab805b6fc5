#include "platform/forms/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace plat {

QColor ToQColor(int32_t color)
{
    const auto value = static_cast<uint32_t>(color);
    if (value & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (value & 0xFFu) {
        case 0x05: return palette.color(QPalette::Base);
        case 0x08: return palette.color(QPalette::Text);
        case 0x0F: return palette.color(QPalette::Button);
        case 0x12: return palette.color(QPalette::ButtonText);
        default: return palette.color(QPalette::Window);
        }
    }
    return QColor(value & 0xFFu, (value >> 8) & 0xFFu, (value >> 16) & 0xFFu);
}

int32_t FromQColor(const QColor& color)
{
    return color.red() + 256 * color.green() + 65536 * color.blue();
}

}  // namespace plat
