#pragma once

#include <functional>
#include <string>
#include <string_view>

// Files written by the program. A path is the system's own bytes, exactly as
// given: a name that is not UTF-8 is written under that very name.

// The extension of the file name, after its last dot, in lower case; empty
// when there is none.
std::string estensione(std::string_view percorso);

// Raises ErroreFile when the name cannot stand for a file to replace: a
// folder, or a device, FIFO or socket, which are left untouched. A symbolic
// link to a file is fine: the link stays and its target is replaced; but no
// link along the path, the file's or a folder's, that stands in a folder
// writable by all with the sticky bit (/tmp) and belongs neither to the user
// running the program nor to the folder's owner.
void verificaDestinazione(const std::string& percorso);

// Whether the name, links followed, is an existing file.
bool fileEsistente(const std::string& percorso);

// Whether the name, links followed, is something other than a file: a
// folder, a device, a FIFO or a socket.
bool nodoSpeciale(const std::string& percorso);

// Writes the whole file or nothing: a temporary file beside the target
// (with no name until it is complete, where the disk allows: a program
// killed meanwhile leaves nothing), every byte written and synchronised to
// the disk, then renamed over the target, whose permissions, and owner and group where the system
// allows, it keeps. On any failure the target is left as it was, no temporary file remains, and
// ErroreFile names the path (escaped, see testoVisibile) and the reason in Italian.
void scriviFileIntero(const std::string& percorso, std::string_view contenuto);

// The same, the content made in pieces as it is written, so that a large
// file is never held whole: `produci` hands each piece to the function it
// is given, and may be called twice, where a file without a name could not
// be given one and a named one is written instead.
using Pezzo = std::function<void(std::string_view)>;
void scriviFileInPezzi(const std::string& percorso,
                       const std::function<void(const Pezzo&)>& produci);
