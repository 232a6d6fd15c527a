// The whole class library.
#pragma once

#include "vcl/Types.h"
#include "vcl/SysUtils.h"
#include "vcl/Classes.h"
#include "vcl/IniFiles.h"
#include "vcl/Graphics.h"
#include "vcl/Controls.h"
#include "vcl/StdCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Published.h"
#include "vcl/Forms.h"
#include "vcl/Dialogs.h"
