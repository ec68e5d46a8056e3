#include "app/common/main_settings.h"

#include "app/common/ini_fault_text.h"
#include "link/form_txt_com.h"
#include "link/link_state.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"
#include "platform/rtl/str_utils.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/text_utils.h"

TMainSettings ReadMainSettings(const std::string& fileName, std::string* unreadable) {
    TMainSettings s;
    TIniFile ini(fileName);
    const char* m = "MAIN";
    s.Cot = ini.ReadInteger(m, "COT", s.Cot);
    s.Com = ini.ReadInteger(m, "COM", s.Com);
    s.Coc = ini.ReadInteger(m, "COC", s.Coc);
    s.Ctc = ini.ReadInteger(m, "CTC", s.Ctc);
    s.Csm = ini.ReadInteger(m, "CSM", s.Csm);
    s.Csv = ini.ReadBool(m, "CSV", s.Csv);
    s.KeyEnd = ini.ReadInteger(m, "KEYEND", s.KeyEnd);
    s.PrtShow = ini.ReadBool(m, "PRTSHOW", s.PrtShow);
    s.PrtProt = ini.ReadBool(m, "PRTPROT", s.PrtProt);
    s.PxtShow = ini.ReadBool(m, "PXTSHOW", s.PxtShow);
    s.PxtProt = ini.ReadBool(m, "PXTPROT", s.PxtProt);
    s.InstMode = ini.ReadInteger(m, "INSTMODE", s.InstMode);
    s.InstStepMode = ini.ReadInteger(m, "INSTSTPM", s.InstStepMode);
    s.DbBridgeHex = ini.ReadBool(m, "DBBRIDGEHEX", s.DbBridgeHex);
    s.DbProtNetInfo = ini.ReadBool(m, "DBPROTNETINFO", s.DbProtNetInfo);
    s.Language = UpperCaseDEStr(Trim(ini.ReadString(m, "LANGUAGE", "")));
    s.CmrRm = ini.ReadBool(m, "CMRRM", s.CmrRm);
    s.MProtRdOd = ini.ReadBool(m, "MPROTRDOD", s.MProtRdOd);
    if (unreadable)
        if (const auto fault = ini.ReadFault()) *unreadable = IniReadFaultText(fileName, *fault);
    return s;
}

void ApplyMainSettings(const TMainSettings& s, TLinkState& link) {
    Program().CotPort = s.Cot;
    Program().ComPort = s.Com;
    Program().CocPort = s.Coc;
    Program().KeyEnd = s.KeyEnd;
    link.PrtShow = s.PrtShow;
    link.PrtProt = s.PrtProt;
    Program().PxtShow = s.PxtShow;
    Program().PxtProt = s.PxtProt;
    Program().InstMode = s.InstMode;
    Program().InstStepMode = s.InstStepMode;
    Program().DbBridgeHex = s.DbBridgeHex;
    Program().DbProtNetInfo = s.DbProtNetInfo;
    Program().Language = s.Language;
    Program().CmrRm = s.CmrRm;
    Program().MProtRdOd = s.MProtRdOd;
}

void WriteIniInteger(const std::string& key, int32_t value) {
    std::string file = FindFileCaseInsensitive(Program().BaseDir, "TOVAK.INI");
    if (file.empty()) file = Program().BaseDir + "TOVAK.INI";
    TIniFile ini(file);
    try {
        ini.WriteInteger("MAIN", key, value);
    } catch (const EIniFileException& e) {
        if (!e.Fault) throw;
        throw EIniFileException(IniWriteFaultText(file, *e.Fault), *e.Fault);
    }
}
