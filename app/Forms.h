#pragma once

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

// The five windows, created at start-up in this order and alive until the
// program ends. Handlers reach each other's controls through them.
extern TForm1 *Form1;
extern TForm2 *Form2;
extern TForm3 *Form3;
extern TForm4 *Form4;
extern TForm5 *Form5;

namespace vantorix {

class Catalogue;

// Creates Form1 to Form5 (the QApplication must exist), each with the
// program's catalogue where it needs one.
void createForms(Catalogue &catalogue);
// Destroys them: Form1 owns the other four, which go with it.
void destroyForms();

}  // namespace vantorix
