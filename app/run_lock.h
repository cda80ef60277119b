// One setup or removal at a time on the machine, whoever runs it.
#pragma once

// The lock's name, in the namespace every session sees from Windows 2000 on; older systems
// have one namespace and take the name without "Global\".
inline constexpr char kRunLockName[] = "Global\\Quibex setup and removal";

// Exit code of a setup or removal that found another one running and changed nothing.
constexpr int kAnotherRunActive = 1618;

// Takes the lock setup and removal share and holds it until the process ends. False when
// another run holds it.
bool TakeRunLock();
