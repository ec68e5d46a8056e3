#include "program/program_context.h"

TProgramContext& Program() {
    static TProgramContext context;
    return context;
}
