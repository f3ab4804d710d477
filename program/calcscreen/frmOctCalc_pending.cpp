// The commands of the calculation screen whose work lies in the panel commands and the outputs:
// until their part is built they tell the user they are not available yet.
#include "frmOctCalc.h"

#include "globals.h"

namespace murtesk {

void frmOctCalc::NotAvailable() { ui_.MsgBox(kNotAvailableYet); }

}  // namespace murtesk
