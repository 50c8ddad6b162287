/* A loadable library without the model entry point. */
#include <tessra/model.h>

TESSRA_MODEL_EXPORT int not_a_model(void)
{
    return 42;
}
