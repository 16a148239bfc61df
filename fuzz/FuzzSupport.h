#pragma once

// What every fuzz target shares: a headless QGuiApplication (pictures and text need one),
// the picture library started once, and a file of this process that the readers which
// take a path are given (each input is written there first).

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Starts Qt on the offscreen platform and the picture library; call from
// LLVMFuzzerInitialize.
void Start(int* argc, char*** argv);

// This process's scratch folder (ending in '/'): in memory when the system has a memory
// file system, so that the writers' flushes to disk cost nothing; removed when the
// process exits.
QString ScratchFolder();

// Writes the input to this process's scratch file with the given extension ("" for none)
// and returns its path.
QString WriteInput(const std::uint8_t* data, std::size_t size, const QString& extension = QString());

// Removes every file and folder inside the folder (the folder stays).
void EmptyFolder(const QString& folder);

// Ends the process with a message: an invariant the harness checks did not hold.
[[noreturn]] void Fail(const char* what);

} // namespace fuzz
