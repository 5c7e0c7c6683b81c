#pragma once

// Internal to platform/winsock: the helpers the units share.

namespace winsock {

// Sets the calling thread's last error and answers SOCKET_ERROR.
int Fail(int error);
// The same with errno mapped.
int FailErrno();
// False (last error WSANOTINITIALISED) before start-up.
bool CheckStarted();

}  // namespace winsock
