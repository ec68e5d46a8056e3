#pragma once
// The configuration file: sections "INPUT" and "OUTPUT", keys "01".."32", four decimal
// fields separated by ";" (inputs 003;000;005;000, outputs 193;0;0;255). A saved file holds
// exactly the rows of its device type; loading sets every row and picks the device type
// from the highest non-empty input key of the first bank.

#include <string>

#include "app/config/io_config.h"

// Replaces the entries of the two sections in one atomic write (section_splice.h): every
// other byte of an existing file stays, its byte-order mark, encoding and line ends too; a
// new file gets CR LF line ends; saving the same configuration again changes no byte. Raises
// EFCreateError when the file cannot be written or is read-only (by its mode bits, for root
// too), EFOpenError when an existing file cannot be read (writing would lose its other
// sections), EReadError when it, or what the save would make of it, is larger than a
// configuration file can be (1 MiB), when it is UTF-16 text, or when it is cut short and the
// save would keep the cut line (the load's message), and EWriteError when what it would write
// does not read back, by the load's own reading, as the rows saved with every other section
// reading as before, in the same encoding, and not cut; the file is then unchanged.
void SaveIoConfigToFile(const std::string& fileName, const TIoConfig& config);
// Raises EFOpenError when the file does not exist or cannot be read, EReadError when it has
// neither an INPUT nor an OUTPUT section, stops inside a row (cut short), is UTF-16 text or
// is larger than 1 MiB; `config` is then unchanged. Fields that are empty or not numbers read 0.
void LoadIoConfigFromFile(const std::string& fileName, TIoConfig& config);

// The file key of a row ("01".."32"), "" for a row number that does not exist.
std::string ConfigFileKey(int row);
// The device type the highest non-empty input key 1..16 stands for (0: none).
int DeviceTypeForLastInputKey(int key);
