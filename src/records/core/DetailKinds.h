#pragma once
// The five detail tables of a project and their datasets, listed once: the
// project list re-queries them in this order and tells their tabs when the
// project count changes.

#include <QStringList>
#include <array>

#include "store/core/DataModule.h"

struct TDetailKind {
    const char *Table;  // as the per-project select names it
    TIBDataSet *TDataModule1::*DataSet;
    TDataSource *TDataModule1::*Source;
};

inline constexpr std::array<TDetailKind, 5> kDetailKinds{{
    {"tblemail", &TDataModule1::IBDataSetEmail, &TDataModule1::DataSourceEmail},
    {"tbltelefon", &TDataModule1::IBDataSetTelefon, &TDataModule1::DataSourceTelefon},
    {"tblZugangsdaten", &TDataModule1::IBDataSetZugangsdaten, &TDataModule1::DataSourceZugangsdaten},
    {"tbltodo", &TDataModule1::IBDataSetToDo, &TDataModule1::DataSourceToDo},
    {"tblTermine", &TDataModule1::IBDataSetTermine, &TDataModule1::DataSourceTermine},
}};

// The per-project select statement of a detail table.
QStringList DetailSelect(const QString &table, const QString &projectId);
// Limits the five detail datasets to the current project (nothing without one).
void FilterDetailsByProjekt(TDataModule1 &dm);
// Runs every detail tab's state handler, so that it follows ProjekteVorhanden.
void NotifyDetailTabs(TDataModule1 &dm);
