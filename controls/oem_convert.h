#pragma once
// The round trip of a typed character through the OEM code page (850, the German
// system's): what an edit with OEMConvert keeps of it. Latin-1 survives; the Windows-1252
// extras fall back to their nearest plain character; anything else becomes "?".

char32_t OemRoundTrip(char32_t Character);
