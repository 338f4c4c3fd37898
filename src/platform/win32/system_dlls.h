#pragma once
// The functions the program takes from system DLLs that are not known DLLs, each table
// loaded from the system folder at its first use, from whichever thread comes first.

#include <winsock2.h>
#include <ws2ipdef.h>
// After Winsock 2, in whose terms the tables are declared; the interface rows are asked
// for by themselves, as iphlpapi.h leaves them out for the Windows version the build names.
#include <iphlpapi.h>
#include <netioapi.h>
#include <uxtheme.h>
#include <wininet.h>

#include "platform/win32/scoped_module.h"

namespace lumora::platform::win32 {

struct IpHelperFunctions {
  SystemDll dll{L"iphlpapi.dll"};
  SystemFunction<decltype(::GetAdaptersInfo)> GetAdaptersInfo{dll, "GetAdaptersInfo",
                                                              ERROR_PROC_NOT_FOUND};
  SystemFunction<decltype(::GetAdaptersAddresses)> GetAdaptersAddresses{dll, "GetAdaptersAddresses",
                                                                        ERROR_PROC_NOT_FOUND};
  SystemFunction<decltype(::GetAdapterIndex)> GetAdapterIndex{dll, "GetAdapterIndex",
                                                              ERROR_PROC_NOT_FOUND};
  SystemFunction<decltype(::GetIfEntry2)> GetIfEntry2{dll, "GetIfEntry2", ERROR_PROC_NOT_FOUND};
  SystemFunction<decltype(::GetIpNetTable)> GetIpNetTable{dll, "GetIpNetTable",
                                                          ERROR_PROC_NOT_FOUND};
  SystemFunction<decltype(::DeleteIpNetEntry)> DeleteIpNetEntry{dll, "DeleteIpNetEntry",
                                                                ERROR_PROC_NOT_FOUND};
};
const IpHelperFunctions& IpHelperDll();

struct WinInetFunctions {
  SystemDll dll{L"wininet.dll"};
  SystemFunction<decltype(::InternetOpenW)> InternetOpenW{dll, "InternetOpenW", nullptr};
  SystemFunction<decltype(::InternetSetOptionW)> InternetSetOptionW{dll, "InternetSetOptionW",
                                                                    FALSE};
  SystemFunction<decltype(::InternetOpenUrlW)> InternetOpenUrlW{dll, "InternetOpenUrlW", nullptr};
  SystemFunction<decltype(::InternetCrackUrlW)> InternetCrackUrlW{dll, "InternetCrackUrlW", FALSE};
  SystemFunction<decltype(::InternetConnectW)> InternetConnectW{dll, "InternetConnectW", nullptr};
  SystemFunction<decltype(::HttpOpenRequestW)> HttpOpenRequestW{dll, "HttpOpenRequestW", nullptr};
  SystemFunction<decltype(::HttpSendRequestW)> HttpSendRequestW{dll, "HttpSendRequestW", FALSE};
  SystemFunction<decltype(::HttpQueryInfoW)> HttpQueryInfoW{dll, "HttpQueryInfoW", FALSE};
  SystemFunction<decltype(::InternetReadFile)> InternetReadFile{dll, "InternetReadFile", FALSE};
  SystemFunction<decltype(::InternetCloseHandle)> InternetCloseHandle{dll, "InternetCloseHandle",
                                                                      FALSE};
  SystemFunction<decltype(::InternetGetConnectedStateExA)> InternetGetConnectedStateExA{
      dll, "InternetGetConnectedStateExA", FALSE};
};
const WinInetFunctions& WinInetDll();

struct UxThemeFunctions {
  SystemDll dll{L"uxtheme.dll"};
  SystemFunction<decltype(::SetWindowTheme)> SetWindowTheme{
      dll, "SetWindowTheme", HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)};
};
const UxThemeFunctions& UxThemeDll();

}  // namespace lumora::platform::win32
