#include "RoamwellDLL/frmPreferences.h"

#include <memory>

frmPreferences::frmPreferences()
    : plat::Form(QStringLiteral("frmPreferences")),
      optionPacedial(QStringLiteral("optionPacedial"), [](int) { return std::make_unique<ValueHolder>(); })
{
    optionPacedial.Load(0);
    optionPacedial.Load(1);
}

void frmPreferences::Design()
{
    Caption = QStringLiteral("Preferences");
    SetClientSize(7065, 3630);
}
