#pragma once

// The resource ids of DrvSweep.rc, as plain macros so that the resource compiler reads the
// same header as the C++ code.

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_UNINSTALL_DIALOG 102
#define IDR_MAINFRAME 128

// Controls of the main dialog (102); the Exit button is IDOK.
#define IDC_DELETE 1011
#define IDC_SCANNER_LIST 1016
#define IDC_LIST_LABEL 1017
#define IDC_INSTRUCTION 1018

// Controls of the About box (100); its button is IDOK.
#define IDC_ABOUT_VERSION 1100
#define IDC_ABOUT_PURPOSE 1101

// The About entry of the system menu. System commands of the application must stay below
// 0xF000, and the handler looks at the id with its low four bits cleared.
#define IDM_ABOUTBOX 0x0010

// The x86-64 program that the x86 one carries as an RCDATA resource (see embedded_program.rc.in).
#define IDR_PROGRAM64 200
