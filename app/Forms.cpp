#include "app/Forms.h"

#include "app/Unit1.h"
#include "catalogue/Unit3.h"
#include "catalogue/Unit5.h"
#include "windows/Unit2.h"
#include "windows/Unit4.h"

#include <QRandomGenerator>

TForm1 *Form1 = nullptr;
TForm2 *Form2 = nullptr;
TForm3 *Form3 = nullptr;
TForm4 *Form4 = nullptr;
TForm5 *Form5 = nullptr;

static void initResources()
{
    Q_INIT_RESOURCE(vantorix);
}

namespace vantorix {

void createForms(Catalogue &catalogue)
{
    initResources();
    Form1 = new TForm1(catalogue);
    // The secondary windows are owned by the main window, so that they stay
    // above it and are centred on the screen.
    Form2 = new TForm2(Form1);
    Form3 = new TForm3(catalogue, Form1);
    Form4 = new TForm4(Form1);
    Form5 = new TForm5(catalogue, Form3);
}

void destroyForms()
{
    delete Form1;  // owns the other four
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form5 = nullptr;
}

}  // namespace vantorix
