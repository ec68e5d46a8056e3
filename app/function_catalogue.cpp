#include "app/function_catalogue.h"

#include "app/io_functions.h"
#include "program/text_utils.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"
#include "platform/rtl/exception.h"

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
        FunctionCatalogue()[static_cast<size_t>(code)] =
            ini.ReadString(code < 0x80 ? "INPFUNCS" : "OUTFUNCS", IntToHex16(static_cast<uint32_t>(code), 2), "");
    return true;
}
