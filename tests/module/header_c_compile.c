/* The public header must compile as plain C (its layout assertions run here too). */
#include "TorvexModule.h"

int main(void) {
    FunctionSupport support = {0, 0};
    return (int)support.nFunction;
}
