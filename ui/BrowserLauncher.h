// Starts the user's default web browser on an address.
#pragma once

#include <windows.h>

#include <cstddef>

// The registered browser (HKCU, then HKLM "SOFTWARE\Clients\StartMenuInternet"
// and its "shell\open\command") started on the address; without a usable
// registration, the system's own open of the address. Returns the started
// process, which the caller owns and closes; null when nothing was started
// (a bad address, nothing registered, or a start that gave no process).
//
// Addresses are passed as one quoted argument, so only web and media
// addresses (http, https, file, mms, rtsp) or an existing local file are
// taken, and none with quotes or control characters.
HANDLE OpenUrlInBrowser(const char* address);

// Whether OpenUrlInBrowser would hand `address` on at all.
bool IsBrowsableAddress(const char* address);

// The command line for a registered browser command and an address: the
// program (quoted), its arguments, with each "%1" replaced by the address
// (quoted unless the command already quotes it), or the quoted address
// appended. False for a command that cannot be split (no program, an
// unterminated quote) or a result that does not fit `capacity`.
bool BuildBrowserCommand(const char* command, const char* address, char* out, size_t capacity,
                         char* program = nullptr, size_t programCapacity = 0);
