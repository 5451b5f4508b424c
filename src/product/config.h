// The compiled-in description of the product this setup program installs
// (generated from its description file by the build), the path buffers the
// pages fill in, and the step-list markers.
#pragma once
#include "product.h"
#include "rules/record_layout.h"

#include <cstdint>

enum StepMarker : int32_t {
    STEP_NONE = 0,
    STEP_LICENSE = 1,
    STEP_LOCATION = 2,
    STEP_INSTALLING = 4,
    STEP_GROUP = 8,
    STEP_SHORTCUTS = 16,
    STEP_READ_ME = 32,
    STEP_FINISHED = 64,
};
constexpr int STEP_COUNT = 7;

extern const InstallConfig installConfig;
extern InstallPaths installPaths;

// Texts of the step list, in marker order (bit i of the marker is line i).
extern const char* const stepTexts[STEP_COUNT];

// Preserved extensions of an earlier installation's data files.
extern const char* const preservedExtensions[];

constexpr char setupTitle[] = "Setup Mate";
constexpr char backdropClassName[] = "InstallApp";
constexpr char welcomeClassName[] = "InstallDlg";
constexpr char readMeViewer[] = "Notepad.exe"; // in the Windows folder
