#include "link/link_state.h"

TLinkState LinkState;
