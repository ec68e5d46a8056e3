#include "link/link_texts.h"

#include <map>

namespace {

CompTextHandler& Handler() {
    static CompTextHandler handler;
    return handler;
}

const std::map<int, std::string>& BuiltIn() {
    static const std::map<int, std::string> texts = {
        {1221, "COM%s kann nicht geöffnet werden !"},
        {1401, "geschlossen"},
        {1402, "Tür geschlossen"},
        {1403, "geöffnet"},
        {1404, "Tür geöffnet"},
        {1405, "Voralarm/Tür zu lange auf"},
        {1406, "Alarm"},
        {1407, "Fehler vorhanden"},
        {1408, "Verriegelt"},
        {1409, "Tür verriegelt"},
        {1410, "Entriegelt"},
        {1411, "Tür entriegelt"},
        {1412, "KZE"},
        {1413, "Kurzzeitentriegelung"},
        {1414, "Unbekannt %s"},
        {1415, "Unbekannt %s"},
        {1601, "Sabotagekontakt"},
        {1602, "Verriegeltrückmeldung fehlt"},
        {1603, "Tür aufgebrochen"},
        {1604, "T1 läuft"},
        {1605, "T2 läuft"},
        {1606, "Tür zu lange offen"},
        {1607, "NOTAUF vom Türterminal"},
        {1608, "NOTAUF von KZN"},
        {1609, "BMA lokal"},
        {1610, "BMA KZN"},
        {1611, "Notstrombetrieb"},
        {1612, "Störung Notstrombetrieb"},
        {1613, "Voralarm"},
        {1701, "Reset"},
        {1702, "Tausch"},
        {1703, "-"},
        {1704, "-"},
        {1705, "SRDO-Fehler"},
        {1706, "CanOpen"},
        {1707, "CanPassive"},
        {1708, "ConfigInvalid"},
        {1709, "-"},
        {1710, "CanBusOff"},
        {1711, "Flash"},
        {1712, "SystemClock"},
        {1713, "OPCode"},
        {1714, "Not-Taster"},
        {1715, "-"},
        {1716, "-"},
        {1717, "SP1-RxBuffer"},
        {1718, "SP1-TxBuffer"},
        {1719, "SP1-RAM"},
        {1720, "SP1-Register"},
        {1721, "SP1-Stack"},
        {1722, "SP1-WatchDog"},
        {1723, "SP1-Interrupt"},
        {1724, "SP1-Logischer Programmablauf"},
        {1725, "SP2-RxBuffer"},
        {1726, "SP2-TxBuffer"},
        {1727, "SP2-RAM"},
        {1728, "SP2-Register"},
        {1729, "SP2-Stack"},
        {1730, "SP2-WatchDog"},
        {1731, "SP2-Interrupt"},
        {1732, "SP2-Logischer Programmablauf"},
        {1808, "Empfang Türzustand"},
        {1809, "Empfang Konfigurationsblock %s"},
        {1810, "Empfang Konfigurationsblock 3"},
        {1811, "Speichern abgeschlossen"},
        {1821, "Operation Mode"},
        {1822, "Pre-Operation Mode"},
        {1823, "Konfigurationsmode"},
        {1824, "Offline"},
        {1825, "Online"},
        {1826, "KV offline"},
        {1827, "Verriegeltmeldung fehlt"},
        {1828, "Inaktiv (Gerät fehlt oder neues Gerät am Bus)"},
        {1829, "Touchbar wird gelden"},
    };
    return texts;
}

}  // namespace

void SetCompTextHandler(CompTextHandler handler) { Handler() = std::move(handler); }

std::string LinkText(int id) {
    if (Handler()) return Handler()(id);
    auto it = BuiltIn().find(id);
    return it == BuiltIn().end() ? std::string() : it->second;
}

std::string LinkTextFmt(int id, const std::string& arg) {
    std::string text = LinkText(id);
    size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, arg);
    return text;
}
