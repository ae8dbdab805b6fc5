#include "RoamwellDLL/frmAbout.h"

#include "RoamwellDLL/frmBrowser.h"
#include "RoamwellDLL/modRoamwel.h"
#include "platform/com/Resources.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Dialogs.h"
#include "platform/runtime/Errors.h"

#include <QByteArray>
#include <QFileInfo>
#include <QPixmap>
#include <cstring>

namespace RoamwellDLL {

namespace {

// The component's own title and version, from the version resource built
// into its library: the about box describes the component, not the program
// that loaded it.
struct ComponentInfo {
    QString title = QStringLiteral("RoamwellDLL");
    int major = 1;
    int minor = 0;
    int revision = 0;
};

ComponentInfo Component()
{
    ComponentInfo info;
    const auto resources = plat::ReadResourcesFromModule(reinterpret_cast<const void*>(&Component));
    const plat::Resource* res = resources ? resources->Find(QString::fromLatin1(plat::RT_VERSION), 1) : nullptr;
    if (const auto version = res ? plat::VersionInfo::Parse(res->data) : std::nullopt) {
        // major.minor.build.revision; the box shows major, minor and revision
        info.major = version->fileVersion[0];
        info.minor = version->fileVersion[1];
        info.revision = version->fileVersion[3];
        if (const auto name = version->Value(QStringLiteral("ProductName")); name && !name->isEmpty())
            info.title = *name;
    }
    return info;
}

constexpr plat::REGSAM KeyAccess = 0x2003F;  // read control, query, set, create, enumerate, notify, link
constexpr plat::DWORD BufferSize = 1024;

}  // namespace

frmAbout::frmAbout()
    : plat::Form(QStringLiteral("frmAbout")),
      picIcon(*this, QStringLiteral("picIcon")),
      lblTitle(*this, QStringLiteral("lblTitle")),
      lblVersion(*this, QStringLiteral("lblVersion")),
      lblDescription(*this, QStringLiteral("lblDescription")),
      cmdOK(*this, QStringLiteral("cmdOK")),
      cmdSysInfo(*this, QStringLiteral("cmdSysInfo")),
      lblDisclaimer(*this, QStringLiteral("lblDisclaimer"))
{
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdSysInfo.Click = [this] { cmdSysInfo_Click(); };
}

frmAbout::~frmAbout() = default;

void frmAbout::Design()
{
    BorderStyle = plat::vbFixedDialog;
    MinButton = false;
    MaxButton = false;
    ShowInTaskbar = false;
    StartUpPosition = plat::vbStartUpScreen;
    SetClientSize(4035, 4095);

    picIcon.Move(0, 0, 2145, 3270);
    picIcon.SetPicture(QPixmap(modRoamwel::ComponentFolder() + QStringLiteral("/roamwell_about.jpg")));
    picIcon.TabIndex = 1;
    lblTitle.Move(2160, 120, 1725, 465);
    lblTitle.FontSize = 12;
    lblVersion.Move(2160, 600, 1725, 225);
    lblDescription.Caption = QStringLiteral("A small web browser by the Roamwell team.");
    lblDescription.Move(2280, 1200, 1605, 570);
    cmdOK.Caption = QStringLiteral("OK");
    cmdOK.Default = true;
    cmdOK.Cancel = true;
    cmdOK.Move(2400, 2160, 1425, 435);
    cmdOK.TabIndex = 0;
    cmdSysInfo.Caption = QStringLiteral("&System Info...");
    cmdSysInfo.Move(2400, 2760, 1395, 465);
    cmdSysInfo.TabIndex = 2;
    lblDisclaimer.Caption = QStringLiteral("(c) The Roamwell developers. Free to use and to share.");
    lblDisclaimer.Move(360, 3480, 3135, 465);
}

void frmAbout::Form_Load()
{
    const ComponentInfo component = Component();
    Caption = QStringLiteral("About ") + component.title;
    lblVersion.Caption = QStringLiteral("Version %1.%2.%3").arg(component.major).arg(component.minor).arg(component.revision);
    lblTitle.Caption = component.title;
    frmBrowser& browser = plat::Default<frmBrowser>();
    browser.Load();
    SetIcon(browser.Icon());
}

void frmAbout::cmdOK_Click()
{
    Unload();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

// Every failure, from a missing key to a program that will not start, ends
// in the one message.
void frmAbout::StartSysInfo()
{
    try {
        QString path;
        bool found = GetKeyValue(plat::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                 QStringLiteral("PATH"), path);
        if (!found &&
            GetKeyValue(plat::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                        QStringLiteral("MSINFO"), path) &&
            QFileInfo(path + QStringLiteral("/MSINFO32.EXE")).isFile()) {
            path += QStringLiteral("/MSINFO32.EXE");
            found = true;
        }
        if (found) {
            // The path is the program itself, never a command line.
            plat::Shell(path, {}, 1);
            return;
        }
    } catch (const std::exception&) {
    }
    plat::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), plat::vbOKOnly);
}

bool frmAbout::GetKeyValue(plat::HKEY KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    plat::HKEY hKey = 0;
    bool result = false;
    struct CloseOnExit {
        plat::HKEY& key;
        ~CloseOnExit() { plat::RegCloseKey(key); }  // also after a failed open (key 0)
    } closer{hKey};

    if (plat::RegOpenKeyEx(KeyRoot, KeyName, 0, KeyAccess, &hKey) != plat::ERROR_SUCCESS) {
        KeyVal = QString();
        return result;
    }

    QByteArray buffer(BufferSize, '\0');
    plat::DWORD size = BufferSize;
    plat::DWORD type = 0;
    if (plat::RegQueryValueEx(hKey, SubKeyRef, &type, reinterpret_cast<std::uint8_t*>(buffer.data()), &size) !=
        plat::ERROR_SUCCESS) {
        KeyVal = QString();
        return result;
    }

    // A final NUL is not part of the text; without one every byte counts.
    // There is no last byte to look at in an empty value.
    if (size == 0)
        plat::Raise(plat::ErrInvalidCall);
    const QByteArray kept = buffer.left(buffer.at(size - 1) == '\0' ? size - 1 : size);

    switch (type) {
    case plat::REG_SZ:
        KeyVal = QString::fromUtf8(kept);
        break;
    case plat::REG_DWORD: {
        std::uint32_t number = 0;
        std::memcpy(&number, buffer.constData(), sizeof number);  // little-endian, as stored
        KeyVal = QStringLiteral("&h") + QString::number(number, 16).toUpper();
        break;
    }
    default:
        break;  // other types leave KeyVal as it was
    }
    result = true;
    return result;
}

}  // namespace RoamwellDLL
