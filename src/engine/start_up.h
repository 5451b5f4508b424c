// What the setup and the uninstaller do before anything else: tell the path
// helpers the system's two-byte characters, and make sure that no other setup
// or uninstaller of the product is at work.
#pragma once
#include <windows.h>

// Reads the lead bytes of the system's ANSI code page into the path helpers.
void useSystemCodePage();

// The box of a second setup or uninstaller; its "%s" takes the product name.
constexpr char anotherRunFormat[] = "Another setup or removal of %s is running!\r\nThis one will now close.";

// True when no other setup or uninstaller of the product runs: the process
// then holds the product's lock until it ends. False when another one holds
// it, or when the lock cannot be had at all. A name that another user made
// to block the product is no lock of another run (see start_up.cpp).
bool holdProductLock();
