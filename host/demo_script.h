// The demo's session: what a user does on the form, step by step and with real
// keyboard and mouse input, and what each step must leave on the form and in the
// control. Every step is checked in the transcript.
#pragma once

#include <string>

#include "host/demo_control.h"
#include "host/demo_form.h"
#include "host/demo_transcript.h"
#include "host/quillet_exports.h"

namespace quorvan::host {

// The values a record brings to the form when it is shown. "Born" and "Closed
// on" have no value yet: they show their empty texts.
void FillForm(DemoForm& form);

// Works the form and its control; screenshots of the key moments go to the
// directory (none when it is empty).
void RunDemoScript(DemoForm& form, DemoControl& control, const QuilletExports& quillet,
                   Transcript& transcript, const std::string& screenshots);

}  // namespace quorvan::host
