{ An independent writer and reader of the profile and settings files, for the C++ tests to compare
  against. The profile's setters flag changes and naming the profile makes it titled, as the program's do.
  profile_peer write-profile <variant> <file>   writes a profile in one of the test states
  profile_peer dump-profile <file>               reads a file into a new profile, prints it }
program profile_peer;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes;

type
  TColor = -$7FFFFFFF - 1..$7FFFFFFF;
  TMapOutputType = (moutClipboard, moutFile, moutInsert, moutEditor);
  TMapOutputFormat = (mfmtList, mfmtTree, mfmtParagraph);
  TMapSpiderType = (mstLocal, mstWebsite);
  ChangeFreqType = (cfNothing, cfAlways, cfHourly, cfDaily, cfWeekly, cfMonthly, cfYearly, cfNever);

  TMapProfile = class(TComponent)
  private
    FAddImages: Boolean;
    FNoFolderImages: Boolean;
    FNoFolderLinks: Boolean;
    FClassAttribs: Boolean;
    FclrBackground: TColor;
    FclrText: TColor;
    FclrLink: TColor;
    FclrVisited: TColor;
    FclrActive: TColor;
    FConfirmDelete: Boolean;
    FFileName: string;
    FFileTypes: string;
    FIgnoreFolders: string;
    FIgnoreFiles: string;
    FIndexPage: string;
    FModified: Boolean;
    FOutputType: TMapOutputType;
    FOutputFormat: TMapOutputFormat;
    FOutputFileName: string;
    FOutputInsert: string;
    FUntitled: Boolean;
    FUsePageTitles: Boolean;
    FMakeGoogleSM: Boolean;
    FWebsite: string;
    FSpiderType: TMapSpiderType;
    FServerName: string;
    FServerDir: string;
    FFtpFiles: Boolean;
    FDefFreq: ChangeFreqType;
    FDefPri: Double;
    FFollowQueryParts: TStringList;
    procedure SetAddImages(Value: Boolean);
    procedure SetNoFolderImages(Value: Boolean);
    procedure SetNoFolderLinks(Value: Boolean);
    procedure SetClassAttribs(Value: Boolean);
    procedure SetclrBackground(Value: TColor);
    procedure SetclrText(Value: TColor);
    procedure SetclrLink(Value: TColor);
    procedure SetclrVisited(Value: TColor);
    procedure SetclrActive(Value: TColor);
    procedure SetConfirmDelete(Value: Boolean);
    procedure SetFileName(Value: string);
    procedure SetFileTypes(Value: string);
    procedure SetIgnoreFolders(Value: string);
    procedure SetIgnoreFiles(Value: string);
    procedure SetIndexPage(Value: string);
    procedure SetOutputType(Value: TMapOutputType);
    procedure SetOutputFormat(Value: TMapOutputFormat);
    procedure SetOutputFileName(Value: string);
    procedure SetOutputInsert(Value: string);
    procedure SetUsePageTitles(Value: Boolean);
    procedure SetMakeGoogleSM(Value: Boolean);
    procedure SetWebsite(Value: string);
    procedure SetSpiderType(Value: TMapSpiderType);
    procedure SetServerName(Value: string);
    procedure SetServerDir(Value: string);
    procedure SetFtpFiles(Value: Boolean);
    procedure SetDefFreq(Value: ChangeFreqType);
    procedure SetDefPri(Value: Double);
    procedure SetFollowQueryParts(Value: TStringList);
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
  published
    property AddImages: Boolean read FAddImages write SetAddImages;
    property NoFolderImages: Boolean read FNoFolderImages write SetNoFolderImages;
    property NoFolderLinks: Boolean read FNoFolderLinks write SetNoFolderLinks;
    property ClassAttribs: Boolean read FClassAttribs write SetClassAttribs;
    property clrBackground: TColor read FclrBackground write SetclrBackground;
    property clrText: TColor read FclrText write SetclrText;
    property clrLink: TColor read FclrLink write SetclrLink;
    property clrVisited: TColor read FclrVisited write SetclrVisited;
    property clrActive: TColor read FclrActive write SetclrActive;
    property ConfirmDelete: Boolean read FConfirmDelete write SetConfirmDelete;
    property FileName: string read FFileName write SetFileName;
    property FileTypes: string read FFileTypes write SetFileTypes;
    property IgnoreFolders: string read FIgnoreFolders write SetIgnoreFolders;
    property IgnoreFiles: string read FIgnoreFiles write SetIgnoreFiles;
    property IndexPage: string read FIndexPage write SetIndexPage;
    property Modified: Boolean read FModified write FModified;
    property OutputType: TMapOutputType read FOutputType write SetOutputType;
    property OutputFormat: TMapOutputFormat read FOutputFormat write SetOutputFormat;
    property OutputFileName: string read FOutputFileName write SetOutputFileName;
    property OutputInsert: string read FOutputInsert write SetOutputInsert;
    property Untitled: Boolean read FUntitled write FUntitled;
    property UsePageTitles: Boolean read FUsePageTitles write SetUsePageTitles;
    property MakeGoogleSM: Boolean read FMakeGoogleSM write SetMakeGoogleSM;
    property Website: string read FWebsite write SetWebsite;
    property SpiderType: TMapSpiderType read FSpiderType write SetSpiderType;
    property ServerName: string read FServerName write SetServerName;
    property ServerDir: string read FServerDir write SetServerDir;
    property FtpFiles: Boolean read FFtpFiles write SetFtpFiles;
    property DefFreq: ChangeFreqType read FDefFreq write SetDefFreq;
    property DefPri: Double read FDefPri write SetDefPri;
    property FollowQueryParts: TStringList read FFollowQueryParts write SetFollowQueryParts;
  end;

{$I color_idents.inc}

procedure TMapProfile.SetAddImages(Value: Boolean);
begin
  if FAddImages <> Value then
  begin
    FAddImages := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetNoFolderImages(Value: Boolean);
begin
  if FNoFolderImages <> Value then
  begin
    FNoFolderImages := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetNoFolderLinks(Value: Boolean);
begin
  if FNoFolderLinks <> Value then
  begin
    FNoFolderLinks := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetClassAttribs(Value: Boolean);
begin
  if FClassAttribs <> Value then
  begin
    FClassAttribs := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetclrBackground(Value: TColor);
begin
  if FclrBackground <> Value then
  begin
    FclrBackground := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetclrText(Value: TColor);
begin
  if FclrText <> Value then
  begin
    FclrText := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetclrLink(Value: TColor);
begin
  if FclrLink <> Value then
  begin
    FclrLink := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetclrVisited(Value: TColor);
begin
  if FclrVisited <> Value then
  begin
    FclrVisited := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetclrActive(Value: TColor);
begin
  if FclrActive <> Value then
  begin
    FclrActive := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetConfirmDelete(Value: Boolean);
begin
  if FConfirmDelete <> Value then
  begin
    FConfirmDelete := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetFileName(Value: string);
begin
  FFileName := Value;
  FUntitled := False;
end;

procedure TMapProfile.SetFileTypes(Value: string);
begin
  if FFileTypes <> Value then
  begin
    FFileTypes := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetIgnoreFolders(Value: string);
begin
  if FIgnoreFolders <> Value then
  begin
    FIgnoreFolders := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetIgnoreFiles(Value: string);
begin
  if FIgnoreFiles <> Value then
  begin
    FIgnoreFiles := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetIndexPage(Value: string);
begin
  if FIndexPage <> Value then
  begin
    FIndexPage := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetOutputType(Value: TMapOutputType);
begin
  if FOutputType <> Value then
  begin
    FOutputType := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetOutputFormat(Value: TMapOutputFormat);
begin
  if FOutputFormat <> Value then
  begin
    FOutputFormat := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetOutputFileName(Value: string);
begin
  if FOutputFileName <> Value then
  begin
    FOutputFileName := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetOutputInsert(Value: string);
begin
  if FOutputInsert <> Value then
  begin
    FOutputInsert := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetUsePageTitles(Value: Boolean);
begin
  if FUsePageTitles <> Value then
  begin
    FUsePageTitles := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetMakeGoogleSM(Value: Boolean);
begin
  if FMakeGoogleSM <> Value then
  begin
    FMakeGoogleSM := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetWebsite(Value: string);
begin
  if FWebsite <> Value then
  begin
    FWebsite := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetSpiderType(Value: TMapSpiderType);
begin
  if FSpiderType <> Value then
  begin
    FSpiderType := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetServerName(Value: string);
begin
  if FServerName <> Value then
  begin
    FServerName := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetServerDir(Value: string);
begin
  if FServerDir <> Value then
  begin
    FServerDir := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetFtpFiles(Value: Boolean);
begin
  if FFtpFiles <> Value then
  begin
    FFtpFiles := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetDefFreq(Value: ChangeFreqType);
begin
  if FDefFreq <> Value then
  begin
    FDefFreq := Value;
    FModified := True;
  end;
end;

procedure TMapProfile.SetDefPri(Value: Double);
begin
  if FDefPri <> Value then
  begin
    FDefPri := Value;
    FModified := True;
  end;
end;

constructor TMapProfile.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FFollowQueryParts := TStringList.Create;
  FAddImages := True;
  FNoFolderLinks := True;
  FClassAttribs := True;
  FclrBackground := $FFFFFF;
  FclrText := $000000;
  FclrLink := $FF0000;
  FclrVisited := $800080;
  FclrActive := $0000FF;
  FConfirmDelete := True;
  FFileName := 'Untitled.qpw';
  FOutputType := moutFile;
  FOutputFormat := mfmtList;
  FOutputFileName := '/home/user/Desktop/sitemap.html';
  FUntitled := True;
  FUsePageTitles := True;
  FMakeGoogleSM := True;
  FSpiderType := mstWebsite;
  FDefFreq := cfMonthly;
  FDefPri := 0.5;
end;

destructor TMapProfile.Destroy;
begin
  FFollowQueryParts.Free;
  inherited Destroy;
end;

procedure TMapProfile.SetFollowQueryParts(Value: TStringList);
begin
  FFollowQueryParts.Assign(Value);
end;

{ The states below must match the C++ test's. }
procedure SetProfile(P: TMapProfile; const Variant: string);
begin
  if Variant = 'standard' then
  begin
    { A new window's profile, named and saved: folder entries are links from the start. }
    P.FileTypes := '*.htm;*.html;*.shtm;*.shtml;*.txt;*.php;*.php4;*.php5;*.pdf;*.swf;*.asp;*.cfm;';
    P.Website := 'http://';
    P.FileName := '/tmp/site.qpw';
    P.NoFolderLinks := False;
  end
  else if Variant = 'full' then
  begin
    P.AddImages := False;
    P.NoFolderImages := True;
    P.NoFolderLinks := False;
    P.ClassAttribs := False;
    P.clrBackground := $123456;
    P.clrText := -1;
    P.clrLink := 200;
    P.clrVisited := -$7FFFFFFF - 1 + 15;
    P.clrActive := $1FFFFFFF;
    P.ConfirmDelete := False;
    P.FileName := '/tmp/My Site.qpw';
    P.FileTypes := '*.htm;*.html;*.php;';
    P.IgnoreFolders := 'http://example.com/private/' + #13#10 + StringOfChar('b', 290);
    P.IgnoreFiles := 'a.html' + #13#10 + 'b.html';
    P.IndexPage := '/var/www/index.html';
    P.OutputType := moutEditor;
    P.OutputFormat := mfmtParagraph;
    P.OutputFileName := '/tmp/sitemap-' + #$C3#$A9 + 't' + #$C3#$A9 + '.html';
    P.OutputInsert := '/tmp/insert.html';
    P.UsePageTitles := False;
    P.MakeGoogleSM := False;
    P.Website := 'http://example.com/';
    P.SpiderType := mstLocal;
    P.ServerName := 'My server';
    P.ServerDir := '/public_html';
    P.FtpFiles := True;
    P.DefFreq := cfNever;
    P.DefPri := 0.1;
    P.FollowQueryParts.Add('id=');
    P.FollowQueryParts.Add('sid=');
    P.FollowQueryParts.Add(StringOfChar('q', 260));
  end
  else if Variant = 'zero' then
    P.DefPri := 0;
  P.Modified := Variant = 'full';
end;

function Hex(const S: string): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    Result := Result + IntToHex(Ord(S[I]), 2);
end;

procedure DumpProfile(P: TMapProfile);
var
  I: Integer;
  D: Double;
begin
  WriteLn('AddImages=', BoolToStr(P.AddImages, True));
  WriteLn('NoFolderImages=', BoolToStr(P.NoFolderImages, True));
  WriteLn('NoFolderLinks=', BoolToStr(P.NoFolderLinks, True));
  WriteLn('ClassAttribs=', BoolToStr(P.ClassAttribs, True));
  WriteLn('clrBackground=', P.clrBackground);
  WriteLn('clrText=', P.clrText);
  WriteLn('clrLink=', P.clrLink);
  WriteLn('clrVisited=', P.clrVisited);
  WriteLn('clrActive=', P.clrActive);
  WriteLn('ConfirmDelete=', BoolToStr(P.ConfirmDelete, True));
  WriteLn('FileName=', Hex(P.FileName));
  WriteLn('FileTypes=', Hex(P.FileTypes));
  WriteLn('IgnoreFolders=', Hex(P.IgnoreFolders));
  WriteLn('IgnoreFiles=', Hex(P.IgnoreFiles));
  WriteLn('IndexPage=', Hex(P.IndexPage));
  WriteLn('Modified=', BoolToStr(P.Modified, True));
  WriteLn('OutputType=', Ord(P.OutputType));
  WriteLn('OutputFormat=', Ord(P.OutputFormat));
  WriteLn('OutputFileName=', Hex(P.OutputFileName));
  WriteLn('OutputInsert=', Hex(P.OutputInsert));
  WriteLn('Untitled=', BoolToStr(P.Untitled, True));
  WriteLn('UsePageTitles=', BoolToStr(P.UsePageTitles, True));
  WriteLn('MakeGoogleSM=', BoolToStr(P.MakeGoogleSM, True));
  WriteLn('Website=', Hex(P.Website));
  WriteLn('SpiderType=', Ord(P.SpiderType));
  WriteLn('ServerName=', Hex(P.ServerName));
  WriteLn('ServerDir=', Hex(P.ServerDir));
  WriteLn('FtpFiles=', BoolToStr(P.FtpFiles, True));
  WriteLn('DefFreq=', Ord(P.DefFreq));
  D := P.DefPri;
  WriteLn('DefPri=', IntToHex(PInt64(@D)^, 16));
  WriteLn('FollowQueryParts=', P.FollowQueryParts.Count);
  for I := 0 to P.FollowQueryParts.Count - 1 do
    WriteLn('  ', Hex(P.FollowQueryParts[I]));
end;

var
  Command: string;
  Stream: TFileStream;
  Profile: TMapProfile;
begin
  RegisterIntegerConsts(TypeInfo(TColor), @IdentToColor, @ColorToIdent);
  Command := ParamStr(1);
  if Command = 'write-profile' then
  begin
    Profile := TMapProfile.Create(nil);
    SetProfile(Profile, ParamStr(2));
    Stream := TFileStream.Create(ParamStr(3), fmCreate);
    Stream.WriteComponent(Profile);
    Stream.Free;
    Profile.Free;
  end
  else if Command = 'dump-profile' then
  begin
    Profile := TMapProfile.Create(nil);
    Stream := TFileStream.Create(ParamStr(2), fmOpenRead);
    Stream.ReadComponent(Profile);
    Stream.Free;
    DumpProfile(Profile);
    Profile.Free;
  end
  else
  begin
    WriteLn(StdErr, 'unknown command ', Command);
    Halt(2);
  end;
end.
