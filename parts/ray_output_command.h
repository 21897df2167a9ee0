// The per-ray output files of the tracer (optical path and chosen rays), switched by the echo
// command after its own forms.
#pragma once

// 1 when it opened or closed an output, 0 when there was nothing for it to do. The files come
// with the tracer; until then it does nothing.
int RayOutputCommand();
