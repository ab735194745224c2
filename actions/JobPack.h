#pragma once
// The packed form of an action list, as stored in a task's work item data and
// in action files (.sas): "VSCHEDULER" in place of the first 10 bytes of a
// bzip2 stream of the INI text, or, when compression failed, "VSCHEDULER"
// followed by the INI text itself.

#include <string>

#include "actions/Job.h"

extern const char PackMagic[];     // "VSCHEDULER"
extern const char Bzip2Header[];   // "BZh91AY&SY", what the magic stands for
constexpr size_t PackMagicSize = 10;

std::string PackJobText(const std::string& text);

// The INI text of packed bytes. The first 10 bytes are never compared with
// the magic: whatever stands there is taken for the bzip2 header. Bytes that
// do not decompress give the plain reading (bytes 10 on); either way the text
// ends at the first zero byte.
std::string UnpackJobText(const std::string& packed);

// The name an exported action file gets: ".sas" appended unless the name
// already ends in it (in any case).
std::string ActionFileName(const std::string& chosen);

// Writes the chain as a packed action file (no task name in it). False when
// the file cannot be written.
bool WriteActionFile(const std::string& fileName, const MyJob* head);

// Reads an action file into a new chain in *head. Returns what the list reader
// returns (0 or less: not a valid action list), or -1 when the file cannot be
// read.
int ReadActionFile(const std::string& fileName, MyJob** head);

// Reads packed bytes into a new chain in *head; the list reader's result.
int ReadPackedJobs(const std::string& packed, MyJob** head);
