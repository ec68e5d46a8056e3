#include "app/config/function_catalogue.h"

#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"
#include "platform/rtl/exception.h"
#include "program/text_utils.h"

namespace {

struct Named {
    int code;
    const char* entry;
};

// Inputs take the row's parameter only where the flag says so (the delay); outputs ignore
// the flag, the output row decides by its function code.
constexpr Named kNamed[] = {
    {0x00, "E|Keine Belegung|0"},
    {0x01, "E|Verriegeln|0"},
    {0x02, "E|Entriegeln|0"},
    {0x03, "E|Entriegeln mit Verzögerung|1"},
    {0x04, "E|Kurzzeitentriegeln nachtriggernd|0"},
    {0x05, "E|Alarm quittieren|0"},
    {0x06, "E|Verriegeln, Entriegeln|0"},
    {0x07, "E|Taste links- Entriegeln, Alarm quittieren|0"},
    {0x08, "E|Taste links- Entriegeln mit Verzögerung, Alarm quittieren|1"},
    {0x09, "E|Taste rechts- Verriegeln, Kurzzeitentriegeln|0"},
    {0x0A, "E|1-Kontakt- Verriegeln, Kurzzeitentriegeln, Entriegeln mit Verzögerung, Alarm quittieren|1"},
    {0x0B, "E|1-Kontakt- Verriegeln, Entriegeln, Alarm quittieren|0"},
    {0x0C, "E|1-Kontakt- Verriegeln, Kurzzeitentriegeln, Alarm quittieren|0"},
    {0x0D, "E|1-Kontakt- Uhrenkontakt schließt/öffnet, Alarm quittieren|0"},
    {0x0E, "E|Alarm quittieren, Entriegeln, Verriegeln|0"},
    {0x20, "E|Uhrenkontakt - schließt, öffnet (Entriegeln)|0"},
    {0x21, "E|Brandmeldeanlage (Brandalarm)|0"},
    {0x25, "E|Brandmeldeanlage QBX (Brandalarm)|0"},
    {0x26, "E|Einbruchmeldeanlage (Tür ist für eine Bedienung gesperrt, hat keine Auswirkung auf den Not-Auf)|0"},
    {0x40, "E|Sabotagekontakt|0"},
    {0x41, "E|Türkontakt: Türzustand Tür geschlossen|0"},
    {0x42, "E|Sensor: Die Tür ist Verriegelt (z.B. Riegelschaltkontakt)|0"},
    {0x44, "E|Warnsignal (wie Voralarm bei Bar)|0"},
    {0x80, "A|Statisch \"Aus\"|0"},
    {0x81, "A|Statisch \"Ein\"|0"},
    {0x82, "A|Tür geschlossen und verriegelt|0"},
    {0x83, "A|Tür ist verriegelt|0"},
    {0x84, "A|Tür ist komplett entriegelt|0"},
    {0x85, "A|Tür ist kurzzeitentriegelt|0"},
    {0x86, "A|Tür ist geschlossen|0"},
    {0x87, "A|Tür ist offen|0"},
    {0x8C, "A|Tür ist dauerentriegelt|0"},
    {0x93, "A|Außendrücker betätigt|0"},
    {0x94, "A|Innendrücker betätigt|0"},
    {0xA0, "A|Elektrotüröffner|0"},
    {0xA1, "A|Elektrotüröffner nur Kurzzeitansteuerung|0"},
    {0xA2, "A|Schloss|0"},
    {0xA3, "A|Feststellung|0"},
    {0xA4, "A|Türantrieb - Automatikbetrieb -> Dauer Auf|0"},
    {0xA5, "A|Türantrieb - Ansteuerung -> Kurzzeitfreigabe|0"},
    {0xB0, "A|Not-Auf betätigt (lokal)|0"},
    {0xB2, "A|Zentraler Notauf QBX|0"},
    {0xB3, "A|Brandmeldeanlage|0"},
    {0xB5, "A|Aufbruch - Türkontakt|0"},
    {0xB6, "A|Aufbruch - Verriegeltmeldung|0"},
    {0xB7, "A|VXR-Verriegelung konnte nicht verriegeln|0"},
    {0xB8, "A|Sabotage-Alarm (Deckelkontakt und Schlüsselschalter)|0"},
    {0xBE, "A|Warnung (Input und bei 1mm Bar-Betätigung)|0"},
    {0xBF, "A|Fail Release Wait / Fail Release|0"},
    {0xC0, "A|Local Mode (VXR)|0"},
    {0xC1, "A|Sammelalarm|0"},
    {0xC2, "A|Störung (QBX)|0"},
};

}  // namespace

std::array<std::string, 256> BuiltInFunctionCatalogue() {
    std::array<std::string, 256> table;
    for (const Named& n : kNamed) table[static_cast<size_t>(n.code)] = n.entry;
    // The Belvar device counts its bus inputs and outputs the other way round.
    for (int code = 0x60; code <= 0x7F; ++code) {
        const std::string nn = IntToStrZero(code - 0x5F, 2);
        table[static_cast<size_t>(code)] = "E|Digital-Input " + nn + ";Digital-Input " + nn + ";Digital-Output " + nn +
                                           "|0";
    }
    for (int code = 0xE0; code <= 0xFF; ++code) {
        const std::string nn = IntToStrZero(code - 0xDF, 2);
        table[static_cast<size_t>(code)] = "A|Digital-Output " + nn + ";Digital-Output " + nn + ";Digital-Input " + nn +
                                           "|0";
    }
    return table;
}

void RestoreBuiltInFunctions() { FunctionCatalogue() = BuiltInFunctionCatalogue(); }

std::array<std::string, 256>& FunctionCatalogue() {
    static std::array<std::string, 256> catalogue = BuiltInFunctionCatalogue();
    return catalogue;
}

bool LoadFunctionListFile(const std::string& fileName) {
    if (!FileExists(fileName)) return false;
    TIniFile ini(fileName);
    // Without either section the file is no function list (damaged, or another file under
    // its name): taken as one, every function would lose its name and its parameter.
    if (!ini.SectionExists("INPFUNCS") && !ini.SectionExists("OUTFUNCS"))
        throw Exception(fileName + ": keine Funktionsliste (Abschnitte INPFUNCS und OUTFUNCS fehlen)");
    for (int code = 0; code < 256; ++code)
        FunctionCatalogue()[static_cast<size_t>(code)] = ini.ReadString(code < 0x80 ? "INPFUNCS" : "OUTFUNCS",
                                                                        IntToHex16(static_cast<uint32_t>(code), 2), "");
    return true;
}
