// The product's facts. Its texts are macros, so that the resource scripts
// read them too.
#pragma once

#define PRODUCT_NAME "Tidy Kit"
#define PRODUCT_VERSION "3.08"
#define PRODUCT_VERSION_NUMBERS 3, 8, 0, 0
#define PRODUCT_PUBLISHER "Moorfield Systems"
#define PRODUCT_COPYRIGHT "Copyright (C) 1996-2026 Moorfield Systems"
#define PRODUCT_WELCOME_TITLE "Setup Mate For Windows\r\n\251 Moorfield Systems 1996-%i"
#define PRODUCT_WEB_NOTE \
    "Visit Moorfield Systems on the web for news, tips, updates and free add-ons:\r\nwww.moorfield-systems.com"
#define PRODUCT_UNINSTALLER_NAME "Tkremove"

#ifndef RC_INVOKED
constexpr char defaultInstallRoot[] = "C:\\Moorfield Systems";
constexpr char publisherKey[] = "Software\\Moorfield Systems";
constexpr char versionKeySuffix[] = "\\Programs\\Tidy Kit\\Current Version";
constexpr char previousAutostartValue[] = "TidyKit3";
constexpr int README_ROW = 4;    // row 5: the read-me text
constexpr int UNINSTALL_ROW = 0; // row 1: the uninstaller

// The abort warning with its support sentence, and the closing note.
constexpr char abortWarningText[] =
    "Installation Aborted!\r\n\r\n"
    "If you need help installing Tidy Kit, please write to support@moorfield-systems.com.";

// Each address stands on a line of its own: the message box wraps a long
// line at a hyphen too, which would split an address in two.
constexpr char closingNote[] =
    "Thank you for installing Tidy Kit!\r\n\r\n"
    "News, free add-ons and answers to common questions are waiting for you at\r\n"
    "www.moorfield-systems.com\r\n\r\n"
    "If you have a question or a suggestion, write to\r\n"
    "support@moorfield-systems.com\r\n\r\n"
    "We answer every message.";
#endif
