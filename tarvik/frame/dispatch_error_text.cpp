#include "tarvik/frame/dispatch_error_text.h"

#include "tarvik/frame/ansi_text.h"

namespace tarvik {

std::string DispatchErrorText(HRESULT status, const EXCEPINFO* exception) {
  switch (status) {
    case DISP_E_UNKNOWNINTERFACE:
      return "Internal error - REFIID is not IID_NULL";
    case DISP_E_MEMBERNOTFOUND:
      return "Invalid function call or function not found";
    case DISP_E_PARAMNOTFOUND:
      return "Invalid parameter";
    case DISP_E_TYPEMISMATCH:
      return "Type mismatch";
    case DISP_E_NONAMEDARGS:
      return "Named arguments not supported";
    case DISP_E_BADVARTYPE:
      return "One or more of the parameters is not a valid VARIANT type";
    case DISP_E_EXCEPTION:
      return "The server raised exception:\n" +
             AnsiFromBstr(exception ? exception->bstrDescription : nullptr);
    case DISP_E_OVERFLOW:
      return "Overflow error";
    case DISP_E_UNKNOWNLCID:
      return "Internal error - Function requires a specified locale ID";
    case DISP_E_BADPARAMCOUNT:
      return "Wrong number of parameters";
    case DISP_E_PARAMNOTOPTIONAL:
      return "Parameter is required but was omitted";
    default:
      return "Unknown error";
  }
}

std::string ComposeDispatchMessage(const char* operation, DISPID dispid, int argumentNumber,
                                   const std::string& errorText) {
  std::string message = operation ? operation : "";
  message += '\n';
  if (dispid != 0) message += "DISPID " + std::to_string(dispid) + ' ';
  if (argumentNumber != 0) message += "parameter " + std::to_string(argumentNumber) + ' ';
  message += ": ";
  message += errorText;
  return message;
}

}  // namespace tarvik
