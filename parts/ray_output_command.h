// The per-ray output files of the tracer (optical path and chosen rays), switched by the echo
// command after its own forms.
//
//   echo/opl/name=FILE[/short|/prewfm]       optical-path file, full, short or pre-wavefront
//   echo/chosen/name=FILE[/binary][/short]   chosen-ray file (text, or binary with FILE's .ndx)
//   echo/chosen                              closes the chosen-ray file
//
// Only a command that carries opl or chosen touches the optical-path mode: chosen switches it
// off, opl sets it. Every other echo form leaves both outputs alone.
#pragma once

// 1 when it opened, closed or configured an output; 0 when the command was not one of its forms
// or was refused (after its message).
int RayOutputCommand();
