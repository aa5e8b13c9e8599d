// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/listing/ListingSnapshot.h"

struct MainForm;

// The window's listing and the options that shape it, read in one go.
ListingSnapshot takeListingSnapshot(const MainForm &f);
