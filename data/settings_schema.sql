-- The settings database Quad_imposta.mdb: address book, towns and document types.

-- Address book: the personal columns of Mittenti from Nominativo on, in the same order.
CREATE TABLE Elenco (
    Nominativo TEXT,
    P_iva_CF TEXT,
    Data_nascita DATE,
    Indirizzo TEXT,
    Civico TEXT,
    Citta TEXT,
    Prov TEXT,
    Stato TEXT,
    Cap TEXT
);
CREATE INDEX Elenco_nominativo ON Elenco (Nominativo);
-- Prefix searches of the autocomplete (without regard to ASCII case, then as stored).
CREATE INDEX elenco_nominativo_prefisso ON Elenco (Nominativo COLLATE NOCASE, Nominativo);

-- Towns: codici holds the postal code in its first five characters, coded by the program's
-- own reversible routine; foreign states have province EE and no postal code.
CREATE TABLE Comuni (
    Citta TEXT,
    Prov TEXT,
    codici TEXT
);
CREATE INDEX Comuni_citta ON Comuni (Citta);
-- Prefix searches of the autocomplete (without regard to ASCII case, then as stored).
CREATE INDEX comuni_citta_prefisso ON Comuni (Citta COLLATE NOCASE, Citta);

-- Document types and the offices a pick writes into the entry.
CREATE TABLE tipo_doc_entrata (
    descrizione TEXT,
    Ufficio_competente TEXT,
    Ufficio_conoscenza TEXT
);
