// Everything a window module needs from the framework in one include.
#pragma once

#include "framework/App.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/Menu.h"
#include "framework/MessageMap.h"
#include "framework/String.h"
#include "framework/Wnd.h"
