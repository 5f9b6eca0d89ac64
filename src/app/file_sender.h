// The file sender's rules without the window: which files of a folder it lists, reading
// the chosen one, and the texts it shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kasa {

inline constexpr const char* kSenderCaption = "Wysyłanie plików binarnych.";
inline constexpr const char* kSenderDialogFilter =
    "Pliki wykonywalne(*.bin)|*.bin|Wszystkie pliki(*.*)|*.*";
inline constexpr const char* kSenderDialogTitle = "Odczyt katalogu z użytkownikami.";

// The folder of the sender file path, empty when the path names none.
std::string SenderFolder(const std::string& senderFile);

// The names of the regular, readable, not hidden `*.bin` files of `folder` (the extension
// in any case), sorted by name; nullopt when the folder cannot be read.
std::optional<std::vector<std::string>> SenderFileNames(const std::string& folder);

struct SenderFileRead {
    std::string bytes;
    std::string message;  // why nothing is sent; empty when `bytes` are to be sent
};
// Reads the entry `name` of `folder` for sending.
SenderFileRead ReadSenderFile(const std::string& folder, const std::string& name);

std::string SenderDeleteQuestion(const std::string& name);
// Deletes the entry; the message says why it failed, empty when the file is gone.
std::string DeleteSenderFile(const std::string& folder, const std::string& name);

}  // namespace kasa
