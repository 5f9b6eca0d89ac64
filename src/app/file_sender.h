// The file sender's rules without the window: which files of a folder it lists, reading
// the chosen one, and the texts it shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/user_interface.h"
#include "comm/ecrclass.h"

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

// Why the entry `name` of `folder` is not sent: no entry, a missing or empty file, or one
// larger than the sequence files the editors open (kSequenceFileLimitBytes); empty when it
// may be sent. Only the file's size is looked at, so a huge file is never read.
std::string SenderFileRefusal(const std::string& folder, const std::string& name);

struct SenderFileRead {
    std::string bytes;
    std::string message;  // why nothing is sent; empty when `bytes` are to be sent
};
// Reads the entry `name` of `folder` for sending, unless SenderFileRefusal refuses it.
SenderFileRead ReadSenderFile(const std::string& folder, const std::string& name);

enum class SenderSendResult { kSent, kRefused, kFailed, kAborted };
// Reads the entry and sends its bytes unchanged (SendSequence), its progress and every
// failure going to `ui`. The register object's abort flag stops the send between slices of
// the write; it is not cleared here, so an abort asked for before the send began stands.
// The caller holds the busy guard.
SenderSendResult SendSenderFile(ECRClass& ecr, UserInterface& ui, const std::string& folder,
                                const std::string& name);

std::string SenderDeleteQuestion(const std::string& name);
// Deletes the entry; the message says why it failed, empty when the file is gone.
std::string DeleteSenderFile(const std::string& folder, const std::string& name);

}  // namespace kasa
