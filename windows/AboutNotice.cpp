#include "windows/AboutNotice.h"

#include "platform/ShownText.h"

namespace vantorix {

QStringList aboutNotice()
{
    return {
        QStringLiteral("ATTENZIONE"),
        QStringLiteral("=========="),
        QStringLiteral(""),
        QStringLiteral("1) Vantorix non è un emulatore, ma una semplice"),
        QStringLiteral("   interfaccia che avvia altri programmi eseguibili."),
        QStringLiteral("   È stato realizzato a scopo didattico e l'autore"),
        QStringLiteral("   non possiede ROM né emulatori da distribuire."),
        QStringLiteral("2) Vantorix è un programma di supporto che aiuta a"),
        QStringLiteral("   gestire le ROM, che possono essere detenute solo"),
        QStringLiteral("   da chi possiede il gioco originale."),
        QStringLiteral("   Non usate ROM di giochi che non possedete!"),
        QStringLiteral("3) L'interfaccia di Vantorix è completamente"),
        QStringLiteral("   personalizzabile: l'autore non si assume alcuna"),
        QStringLiteral("   responsabilità per un uso improprio di questa"),
        QStringLiteral("   funzione."),
        QStringLiteral("4) Tutti i marchi citati appartengono ai rispettivi"),
        QStringLiteral("   proprietari."),
        QStringLiteral(""),
        QStringLiteral("RESPONSABILITÀ"),
        QStringLiteral("=============="),
        QStringLiteral(""),
        QStringLiteral("Vantorix viene fornito così com'è, senza alcuna"),
        QStringLiteral("garanzia. L'autore non si assume alcuna"),
        QStringLiteral("responsabilità se il programma funziona male o non"),
        QStringLiteral("funziona affatto, né per danni di qualsiasi tipo,"),
        QStringLiteral("diretti o indiretti, derivanti dalla sua"),
        QStringLiteral("distribuzione, esecuzione o utilizzo."),
        QStringLiteral("Chi usa Vantorix lo fa a proprio rischio."),
        QStringLiteral("Il programma è stato scritto con cura, ma non si"),
        QStringLiteral("può garantire che sia privo di errori."),
        QStringLiteral("È vietato disassemblare, modificare o tradurre"),
        QStringLiteral("Vantorix, in tutto o in parte."),
        QStringLiteral("Vantorix può essere copiato e dato ad altri"),
        QStringLiteral("liberamente, purché il programma non venga"),
        QStringLiteral("modificato: non si può alterare un solo bit né"),
        QStringLiteral("aggiungere nulla al pacchetto di distribuzione."),
        QStringLiteral("Vantorix non può essere incluso in altri pacchetti"),
        QStringLiteral("e non si può chiedere denaro per copiarlo o"),
        QStringLiteral("distribuirlo, né per il programma stesso."),
        QStringLiteral(""),
        QStringLiteral("Segnalazioni e suggerimenti sono sempre graditi:"),
        QStringLiteral("scrivete a info@vantorix.example."),
        QStringLiteral(""),
        QStringLiteral("Grazie per aver scelto Vantorix e buon"),
        QStringLiteral("divertimento!"),
        QStringLiteral(""),
        QStringLiteral("               Vantorix v%1 - (C) 2026").arg(shownVersion()),
    };
}

}  // namespace vantorix
