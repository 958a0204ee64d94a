// The install window's own messages (WM_USER + 0x100 upward), shared by the
// window and the copy worker.
#pragma once

constexpr unsigned InstMsgReadError = 0x500;
constexpr unsigned InstMsgWriteError = 0x502;
constexpr unsigned InstMsgFolderError = 0x504;
constexpr unsigned InstMsgNextDisc = 0x510;
constexpr unsigned InstMsgFinished = 0x600;
constexpr unsigned InstMsgEnd = 0x601;
