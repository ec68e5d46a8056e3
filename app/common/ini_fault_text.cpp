#include "app/common/ini_fault_text.h"

#include <cstring>

namespace {

std::string TextFaultText(TTextFault fault) {
    switch (fault) {
        case TTextFault::Utf16OddLength:
            return "sie ist als UTF-16 gekennzeichnet, hat aber eine ungerade Anzahl Bytes";
        case TTextFault::Utf16UnpairedSurrogate:
            return "sie ist als UTF-16 gekennzeichnet, enthält aber ein halbes Zeichenpaar (Surrogat)";
        case TTextFault::NulCharacter:
            return "sie enthält Nullbytes (UTF-16 ohne Byte-Order-Mark am Anfang, oder keine Textdatei)";
        case TTextFault::Readable: break;
    }
    return "sie ist keine Textdatei";
}

std::string Quoted(const std::string& fileName) { return "Datei \"" + fileName + "\""; }

}  // namespace

std::string IniWriteFaultText(const std::string& fileName, const TIniFault& fault) {
    std::string what;
    switch (fault.Kind) {
        case TIniFault::ReadOnly: what = " ist schreibgeschützt"; break;
        case TIniFault::Unreadable: what = " kann nicht gelesen werden"; break;
        case TIniFault::NotText: what = " kann nicht gelesen werden:\r" + TextFaultText(fault.Text); break;
        case TIniFault::WouldNotReadBack: what = " würde danach nicht so gelesen, wie sie geschrieben wurde"; break;
        case TIniFault::WriteFailed:
            what = " kann nicht geschrieben werden";
            if (fault.ErrorCode != 0) what += std::string(" (") + std::strerror(fault.ErrorCode) + ")";
            break;
    }
    return Quoted(fileName) + what + "; es wurde nichts gespeichert";
}

std::string IniReadFaultText(const std::string& fileName, const TIniFault& fault) {
    const std::string why = fault.Kind == TIniFault::NotText ? ":\r" + TextFaultText(fault.Text) + "." : ".";
    return Quoted(fileName) + " kann nicht gelesen werden" + why +
           "\rAlle Einstellungen gelten mit ihren Vorgaben; die Datei bleibt, wie sie ist.";
}
