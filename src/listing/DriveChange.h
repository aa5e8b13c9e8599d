#pragma once

struct MainForm;

// A drive picked in drvDrive.
void drvDrive_Change(MainForm &f);
