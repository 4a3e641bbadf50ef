#include "app/Variable_Unt.h"

TAppVariables &AppVariables()
{
    static TAppVariables variables;
    return variables;
}
