// Text routines for reading web pages. The entity cleaning that titles of
// file names share lives in the core.
#pragma once

#include "core/HtmlEntities.h"
