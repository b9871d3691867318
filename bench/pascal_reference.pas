{ For bench/pascal_reference.sh: the routines with a body of one Pascal source as Free Pascal's
  own parser (fcl-passrc) reads them. Prints one line per routine: the line its declaration
  begins on and the line its final end is on, separated by a tab.
    pascal_reference FILE [PARSER OPTIONS]... }
program pascal_reference;

{$mode objfpc}{$H+}

uses SysUtils, Classes, PParser, PasTree;

type
  TReferenceEngine = class(TPasTreeContainer)
  public
    function CreateElement(AClass: TPTreeElement; const AName: String;
      AParent: TPasElement; AVisibility: TPasMemberVisibility;
      const ASourceFilename: String; ASourceLinenumber: Integer): TPasElement; override;
    function FindElement(const AName: String): TPasElement; override;
    procedure FinishScope(ScopeType: TPasScopeType; El: TPasElement); override;
  end;

var
  MainFile: String;

function TReferenceEngine.CreateElement(AClass: TPTreeElement; const AName: String;
  AParent: TPasElement; AVisibility: TPasMemberVisibility;
  const ASourceFilename: String; ASourceLinenumber: Integer): TPasElement;
begin
  Result := AClass.Create(AName, AParent);
  Result.Visibility := AVisibility;
  Result.SourceFilename := ASourceFilename;
  Result.SourceLinenumber := ASourceLinenumber;
end;

function TReferenceEngine.FindElement(const AName: String): TPasElement;
begin
  Result := nil;
end;

procedure TReferenceEngine.FinishScope(ScopeType: TPasScopeType; El: TPasElement);
begin
  inherited FinishScope(ScopeType, El);
  { Routines of the file itself, not of the files it includes. }
  if (ScopeType = stProcedure) and (El is TPasProcedure)
      and (TPasProcedure(El).Body <> nil)
      and (ExpandFileName(El.SourceFilename) = MainFile) then
    Writeln(El.SourceLinenumber, #9, El.SourceEndLinenumber);
end;

var
  Engine: TReferenceEngine;
  Options: array of String;
  I: Integer;
begin
  MainFile := ExpandFileName(ParamStr(1));
  SetLength(Options, ParamCount);
  for I := 1 to ParamCount do
    Options[I - 1] := ParamStr(I);
  Engine := TReferenceEngine.Create;
  try
    try
      ParseSource(Engine, Options, 'linux', 'x86_64', [poUseStreams]).Free;
    except
      on E: Exception do
      begin
        Writeln(StdErr, 'pascal_reference: ', E.Message);
        Halt(1);
      end;
    end;
  finally
    Engine.Free;
  end;
end.
