/* A model whose description is whatever the program that loads it makes:
 * tessra_model() answers what that program's tessraFuzzedDescription()
 * returns. Used by the description harness to hand the model library
 * arbitrary descriptions through the real loading path. */
#include <dlfcn.h>
#include <stddef.h>

#include <tessra/model.h>

typedef const TessraModel* (*DescriptionSource)(void);

TESSRA_MODEL_EXPORT const TessraModel* tessra_model(void)
{
    DescriptionSource source = (DescriptionSource)dlsym(RTLD_DEFAULT, "tessraFuzzedDescription");
    return source ? source() : NULL;
}
